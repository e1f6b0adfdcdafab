#include "app/about/AboutView.h"

#include "app/about/Diagnostics.h"
#include "app/about/RequirementLine.h"
#include "app/platform/Background.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>

#include <algorithm>

AboutView::AboutView(OpenWindow openWindow, ResourcesFolder resources, QWidget* parent)
    : QWidget(parent), openWindow_(std::move(openWindow)),
      resources_(resources ? std::move(resources) : ResourcesFolder(&Diagnostics::resourcesFolder))
{
    setObjectName(QStringLiteral("aboutView"));
    setMinimumSize(530, 320);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(buttonRow());
    pages_ = new QStackedLayout;
    pages_->addWidget(progressPage());
    pages_->addWidget(resultsPage());
    layout->addLayout(pages_, 1);
    render();
}

QWidget* AboutView::buttonRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* code = new QPushButton(QStringLiteral("Show Code"));
    auto* structure = new QPushButton(QStringLiteral("Show Structure"));
    checkAgainButton_ = new QPushButton(QStringLiteral("Check Again"));
    connect(code, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("code")); });
    connect(structure, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("structure")); });
    connect(checkAgainButton_, &QPushButton::clicked, this, &AboutView::checkAgain);
    layout->addWidget(code);
    layout->addWidget(structure);
    layout->addStretch();
    layout->addWidget(checkAgainButton_);
    return row;
}

QWidget* AboutView::progressPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* spinner = new QProgressBar;
    spinner->setRange(0, 0);
    spinner->setMaximumWidth(200);
    spinner->setTextVisible(false);
    layout->addWidget(spinner);
    layout->addWidget(new QLabel(QStringLiteral("Checking dependencies…")));
    layout->addStretch();
    return page;
}

QWidget* AboutView::resultsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    headline_ = new QLabel;
    headline_->setObjectName(QStringLiteral("headline"));
    QFont bold = headline_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.1);
    headline_->setFont(bold);
    layout->addWidget(headline_);
    auto* content = new QWidget;
    content->setBackgroundRole(QPalette::Base);
    list_ = new QVBoxLayout(content);
    list_->setContentsMargins(4, 4, 4, 4);
    list_->setSpacing(2);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);
    return page;
}

void AboutView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    startCheck();
}

void AboutView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    ++generation_;
}

void AboutView::checkAgain()
{
    rows_.clear();
    render();
    startCheck();
}

void AboutView::startCheck()
{
    const int generation = ++generation_;
    const QPointer<AboutView> self(this);
    inBackground([self, generation, resources = resources_] {
        const std::optional<QString> folder = resources();
        if (!folder)
            return;
        QList<Requirement> rows = Diagnostics::check(*folder);
        QMetaObject::invokeMethod(qApp, [self, generation, rows = std::move(rows)] {
            if (!self || generation != self->generation_)
                return;
            self->rows_ = rows;
            self->render();
        }, Qt::QueuedConnection);
    });
}

void AboutView::render()
{
    checkAgainButton_->setEnabled(!rows_.isEmpty());
    pages_->setCurrentIndex(rows_.isEmpty() ? 0 : 1);
    while (QLayoutItem* item = list_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (rows_.isEmpty())
        return;
    const auto satisfied = std::count_if(rows_.cbegin(), rows_.cend(), [](const Requirement& row) { return row.available; });
    headline_->setText(QStringLiteral("%1 of %2 dependencies satisfied").arg(satisfied).arg(rows_.size()));
    for (int index = 0; index < rows_.size(); ++index) {
        if (index > 0) {
            auto* line = new QFrame;
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Plain);
            line->setForegroundRole(QPalette::Midlight);
            list_->addWidget(line);
        }
        list_->addWidget(new RequirementLine(index + 1, rows_[index]));
    }
    list_->addStretch();
}
