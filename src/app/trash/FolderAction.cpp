#include "app/trash/FolderAction.h"

#include "app/trash/TrashSheet.h"
#include "shared/Problem.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>

#include <utility>

FolderAction::FolderAction(Notify notify, Authenticator* authenticator, QWidget* parent)
    : QWidget(parent), notify_(std::move(notify)), authenticator_(authenticator)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    button_ = new QPushButton(style()->standardIcon(QStyle::SP_DirIcon), QStringLiteral("Delete Folder…"));
    button_->setObjectName(QStringLiteral("deleteFolder"));
    layout->addWidget(button_);
    connect(button_, &QPushButton::clicked, this, &FolderAction::choose);
    render();
}

TrashSheet* FolderAction::sheet() const
{
    return sheet_;
}

void FolderAction::choose()
{
    QFileDialog panel(this, QStringLiteral("Choose a folder to move to the Trash"));
    panel.setFileMode(QFileDialog::Directory);
    panel.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks | QFileDialog::ReadOnly);
    panel.setLabelText(QFileDialog::Accept, QStringLiteral("Review Folder"));
    if (panel.exec() == QDialog::Accepted && !panel.selectedUrls().isEmpty())
        review(panel.selectedUrls().first());
}

void FolderAction::review(const QUrl& folder)
{
    try {
        ticket_ = TrashReview::folder(folder);
    } catch (const Problem& problem) {
        notify_(QStringLiteral("Nothing was moved: ") + QString::fromStdString(problem.description()));
    }
    render();
}

void FolderAction::approve(const QUuid& id)
{
    if (working_ || !ticket_ || ticket_->id != id)
        return;
    const TrashReview reviewed = *ticket_;
    working_ = true;
    ticket_.reset();
    render();
    reviewed.moveAfterApproval(authenticator_, this, [this, path = reviewed.entry.path](std::optional<QString> failure) {
        notify_(failure ? QStringLiteral("Nothing was moved: ") + *failure : QStringLiteral("Moved folder to Trash: ") + path);
        working_ = false;
        render();
    });
}

void FolderAction::render()
{
    button_->setEnabled(!working_);
    if (sheet_ && (!ticket_ || ticket_->id != sheet_->ticket().id))
        std::exchange(sheet_, nullptr)->reject();
    if (!ticket_ || sheet_)
        return;
    sheet_ = new TrashSheet(*ticket_, QStringLiteral("Move this folder to the Trash?"),
                            QStringLiteral("Everything inside this folder will move with it. You can put the folder back from the Trash."),
                            this);
    TrashSheet* sheet = sheet_;
    connect(sheet, &QDialog::finished, this, [this, sheet](int result) {
        sheet->deleteLater();
        if (sheet_ == sheet)
            sheet_ = nullptr;
        const QUuid id = sheet->ticket().id;
        if (result == QDialog::Accepted) {
            approve(id);
        } else if (ticket_ && ticket_->id == id) {
            ticket_.reset();
            render();
        }
    });
    sheet->open();
}
