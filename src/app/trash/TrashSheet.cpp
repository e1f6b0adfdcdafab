#include "app/trash/TrashSheet.h"

#include "app/widgets/ScaledFont.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* wrapped(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

}

TrashSheet::TrashSheet(const TrashReview& ticket, const QString& title, const QString& body, QWidget* parent)
    : QDialog(parent), ticket_(ticket)
{
    setObjectName(QStringLiteral("trashSheet"));
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);

    QLabel* heading = wrapped(title);
    heading->setObjectName(QStringLiteral("trashTitle"));
    QFont headingFont = scaledFont(heading->font(), 1.35);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    layout->addWidget(heading);
    QLabel* path = wrapped(ticket.entry.path);
    path->setObjectName(QStringLiteral("trashPath"));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(path);
    QLabel* text = wrapped(body);
    text->setObjectName(QStringLiteral("trashBody"));
    layout->addWidget(text);
    if (ticket.auth) {
        QLabel* caption = wrapped(QStringLiteral("macOS will also ask you to authenticate."));
        caption->setObjectName(QStringLiteral("trashAuth"));
        caption->setFont(scaledFont(caption->font(), 0.85));
        layout->addWidget(caption);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setShortcut(Qt::Key_Escape);
    approve_ = new QPushButton(QStringLiteral("Approve"));
    approve_->setObjectName(QStringLiteral("approveTrash"));
    approve_->setStyleSheet(QStringLiteral("QPushButton { color: #c0392b; font-weight: bold; }"));
    approve_->setAutoDefault(false);
    buttons->addWidget(cancel);
    buttons->addWidget(approve_);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(approve_, &QPushButton::clicked, this, &QDialog::accept);
}

void TrashSheet::setApproveEnabled(bool enabled)
{
    approve_->setEnabled(enabled);
}
