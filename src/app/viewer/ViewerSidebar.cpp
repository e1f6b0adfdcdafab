#include "app/viewer/ViewerSidebar.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/viewer/EntryList.h"
#include "app/viewer/OpenWithMenu.h"
#include "app/viewer/model/Branch.h"
#include "app/viewer/model/SidebarModel.h"
#include "app/widgets/ScaledFont.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

ViewerSidebar::ViewerSidebar(Branch& b, Controller& c, Workspace& workspace, Applications& applications, QWidget* parent)
    : QWidget(parent), b_(b), c_(c), workspace_(workspace), applications_(applications)
{
    setMinimumWidth(225);
    setMaximumWidth(360);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    find_ = new QLineEdit;
    find_->setObjectName(QStringLiteral("find"));
    find_->setPlaceholderText(QStringLiteral("Find in this folder"));
    find_->setAccessibleName(QStringLiteral("Find in this folder"));
    find_->setClearButtonEnabled(true);
    column->addWidget(find_);
    showHidden_ = new QCheckBox(QStringLiteral("Show hidden"));
    column->addWidget(showHidden_);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setForegroundRole(QPalette::PlaceholderText);
    message_->setFont(scaledFont(font(), 0.85));
    message_->setWordWrap(true);
    column->addWidget(message_);
    entries_ = new SidebarModel(b_, this);
    list_ = new EntryList(*entries_);
    column->addWidget(list_, 1);
    column->addLayout(pagingRow());
    column->addWidget(details());

    connect(find_, &QLineEdit::textEdited, &b_, &Branch::find);
    connect(showHidden_, &QCheckBox::toggled, this, [this](bool on) {
        // Rendering a restored layout sets the box too; only a new choice rereads.
        if (on == b_.hidden())
            return;
        b_.setHidden(on);
        b_.load(b_.folder(), false, false);
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ViewerSidebar::listSelectionChanged);
    connect(list_, &EntryList::openRequested, this, [this](int row) { b_.load(entries_->entry(row), false, false); });
    connect(list_, &EntryList::menuRequested, this, &ViewerSidebar::showEntryMenu);
}

QLayout* ViewerSidebar::pagingRow()
{
    auto* row = new QHBoxLayout;
    pager_ = new QWidget;
    auto* pager = new QHBoxLayout(pager_);
    pager->setContentsMargins(0, 0, 0, 0);
    previousPage_ = new QPushButton(QStringLiteral("‹"));
    nextPage_ = new QPushButton(QStringLiteral("›"));
    pageText_ = new QLabel;
    pageText_->setObjectName(QStringLiteral("pageText"));
    pageText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    previousPage_->setAccessibleName(QStringLiteral("Previous page"));
    nextPage_->setAccessibleName(QStringLiteral("Next page"));
    for (QPushButton* arrow : {previousPage_, nextPage_})
        arrow->setFixedWidth(28);
    pager->addWidget(previousPage_);
    pager->addWidget(pageText_);
    pager->addWidget(nextPage_);
    row->addWidget(pager_);
    itemCount_ = new QLabel;
    itemCount_->setObjectName(QStringLiteral("itemCount"));
    itemCount_->setFont(scaledFont(font(), 0.85));
    row->addWidget(itemCount_);
    row->addStretch();
    connect(previousPage_, &QPushButton::clicked, this, [this] { b_.navigate(b_.page() - 1); });
    connect(nextPage_, &QPushButton::clicked, this, [this] { b_.navigate(b_.page() + 1); });
    return row;
}

QWidget* ViewerSidebar::details()
{
    details_ = new QWidget;
    auto* column = new QVBoxLayout(details_);
    column->setContentsMargins(0, 0, 0, 0);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    column->addWidget(divider);
    detailPath_ = new QLabel;
    detailPath_->setObjectName(QStringLiteral("detailPath"));
    detailPath_->setWordWrap(true);
    detailPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detailPath_->setFont(scaledFont(font(), 0.85));
    detailKind_ = new QLabel;
    detailKind_->setObjectName(QStringLiteral("detailKind"));
    detailKind_->setFont(scaledFont(font(), 0.85));
    column->addWidget(detailPath_);
    column->addWidget(detailKind_);
    return details_;
}

void ViewerSidebar::render()
{
    if (find_->text() != b_.needle())
        find_->setText(b_.needle());
    showHidden_->setChecked(b_.hidden());
    message_->setVisible(!b_.message().isEmpty());
    message_->setText(b_.message());
    renderSelection();

    const qint64 pages = b_.pages();
    pager_->setVisible(!b_.fullView());
    pageText_->setText(QString::number(b_.page() + 1) + QStringLiteral(" / ") + QString::number(pages));
    previousPage_->setEnabled(b_.page() > 0);
    nextPage_->setEnabled(b_.page() + 1 < pages);
    itemCount_->setText(QString::number(b_.filtered().size()) + QStringLiteral(" items"));
    details_->setVisible(b_.selected().has_value());
    if (const auto& selected = b_.selected()) {
        detailPath_->setText(selected->path);
        detailKind_->setText(SidebarModel::detailKind(*selected));
    }
}

// The list's selection follows the branch's: the selected entry's row, or none.
void ViewerSidebar::renderSelection()
{
    const int row = b_.selected() ? entries_->rowOf(b_.selected()->path) : -1;
    QItemSelectionModel* selection = list_->selectionModel();
    const QModelIndex index = entries_->index(row);
    if (row >= 0 ? selection->isSelected(index) : !selection->hasSelection())
        return;
    followingBranch_ = true;
    if (row < 0) {
        selection->clearSelection();
    } else {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    }
    followingBranch_ = false;
}

void ViewerSidebar::listSelectionChanged()
{
    if (followingBranch_)
        return;
    const QModelIndexList chosen = list_->selectionModel()->selectedIndexes();
    if (!chosen.isEmpty())
        b_.selectListed(entries_->entry(chosen.first().row()));
}

void ViewerSidebar::showEntryMenu(int row, const QPoint& global)
{
    const VEntry entry = entries_->entry(row);
    QMenu menu;
    auto* openWith = new OpenWithMenu(entry.path, applications_, [this](const QString& text) { b_.setNotice(text); }, &menu);
    openWith->setEnabled(!c_.readOnly());
    menu.addMenu(openWith);
    connect(menu.addAction(QStringLiteral("Show in Finder")), &QAction::triggered, this,
            [this, entry] { workspace_.reveal(entry.path); });
    QAction* remove = menu.addAction(QStringLiteral("Delete…"));
    remove->setEnabled(!c_.readOnly());
    connect(remove, &QAction::triggered, this, [this, entry] { b_.requestTrash(entry); });
    menu.exec(global);
}

void ViewerSidebar::keepSelectionInView()
{
    if (list_->currentIndex().isValid())
        list_->scrollTo(list_->currentIndex());
}
