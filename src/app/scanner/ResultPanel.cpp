#include "app/scanner/ResultPanel.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/scanner/FileListModel.h"
#include "app/scanner/FileListView.h"
#include "app/texts/Fmt.h"
#include "app/widgets/SecondaryText.h"
#include "shared/RowGroups.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    SecondaryText::apply(label);
    return label;
}

}

ResultPanel::ResultPanel(Controller& c, Workspace& workspace, QWidget* parent) : QWidget(parent), c_(c)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addLayout(pickerRow());
    layout->addWidget(resultControls());
    emptyNotice_ = caption(QStringLiteral("No matching files were found."));
    layout->addWidget(emptyNotice_);
    noResult_ = caption(QStringLiteral("The scan is read-only. You choose what to remove."));
    noResult_->setAlignment(Qt::AlignCenter);
    layout->addWidget(noResult_, 1);
    model_ = new FileListModel(c_, this);
    list_ = new FileListView(*model_);
    layout->addWidget(list_, 1);
    layout->addWidget(summaryRow());
    connect(list_, &FileListView::toggleRequested, &c_, &Controller::toggle);
    connect(list_, &FileListView::revealRequested, this, [&workspace](const QString& path) { workspace.reveal(path); });
}

QLayout* ResultPanel::pickerRow()
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Largest files")));
    groups_ = new QButtonGroup(this);
    for (const auto& [title, group] :
         {std::pair {"Top 10 files", RowGroups::allFiles}, std::pair {"Top 10 video && audio", RowGroups::media}}) {
        auto* option = new QPushButton(QString::fromUtf8(title));
        option->setCheckable(true);
        option->setProperty("group", QString::fromUtf8(group));
        groups_->addButton(option);
        row->addWidget(option);
    }
    row->addStretch();
    connect(groups_, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* option, bool on) {
        const QString group = option->property("group").toString();
        if (on && group != c_.group())
            c_.setGroup(group);
    });
    return row;
}

QWidget* ResultPanel::resultControls()
{
    resultControls_ = new QWidget;
    auto* row = new QHBoxLayout(resultControls_);
    row->setContentsMargins(0, 0, 0, 0);
    onlyPersonal_ = new QCheckBox(QStringLiteral("Selectable only"));
    row->addWidget(onlyPersonal_);
    row->addWidget(caption(QStringLiteral("Click a file to select it")));
    row->addStretch();
    connect(onlyPersonal_, &QCheckBox::toggled, &c_, &Controller::setOnlyPersonal);
    return resultControls_;
}

QWidget* ResultPanel::summaryRow()
{
    summaryRow_ = new QWidget;
    auto* row = new QHBoxLayout(summaryRow_);
    row->setContentsMargins(0, 0, 0, 0);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("selectionSummary"));
    reviewButton_ = new QPushButton(QStringLiteral("Review deletion…"));
    reviewButton_->setObjectName(QStringLiteral("reviewDeletion"));
    row->addWidget(summary_);
    row->addStretch();
    row->addWidget(reviewButton_);
    connect(reviewButton_, &QPushButton::clicked, this, [this] { c_.setReview(true); });
    return summaryRow_;
}

void ResultPanel::render()
{
    const bool hasResult = c_.data().has_value();
    for (QAbstractButton* option : groups_->buttons())
        option->setChecked(option->property("group").toString() == c_.group());
    resultControls_->setVisible(hasResult);
    noResult_->setVisible(!hasResult);
    summaryRow_->setVisible(hasResult);
    onlyPersonal_->setChecked(c_.onlyPersonal());
    renderList();
    renderSummary();
}

void ResultPanel::renderList()
{
    const bool empty = model_->rowCount() == 0;
    emptyNotice_->setVisible(c_.data() && empty);
    list_->setVisible(c_.data() && !empty);
}

void ResultPanel::renderSummary()
{
    const std::vector<Row> selected = c_.selected();
    int64_t total = 0;
    for (const Row& row : selected)
        total += row.bytes;
    summary_->setText(QString::number(selected.size()) + QStringLiteral(" selected • ") + fmt(total));
    reviewButton_->setEnabled(!c_.readOnly() && !c_.busy() && !c_.selection().empty() && !c_.blocked());
}
