#include "app/viewer/ViewerFooter.h"

#include "app/viewer/model/Branch.h"
#include "app/widgets/MemoryReadout.h"
#include "app/widgets/ModeControl.h"
#include "app/widgets/ModeSwitch.h"
#include "app/widgets/ReleaseTitle.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ViewerFooter::ViewerFooter(Branch& b, Controller& c, std::function<void()> openAbout, QWidget* parent)
    : QWidget(parent), b_(b)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(modeSwitch(c));
    row->addWidget(badge(), 1);
    auto* about = new QPushButton(aboutTitle());
    connect(about, &QPushButton::clicked, this, std::move(openAbout));
    row->addWidget(about);
    row->addWidget(new MemoryReadout);
    row->addWidget(graphPager(), 1);
    row->addStretch(0);
}

QWidget* ViewerFooter::badge()
{
    auto* badge = new QLabel(QStringLiteral("Folder contents simplified at higher levels.  Double click for full view."));
    badge->setObjectName(QStringLiteral("badge"));
    badge->setStyleSheet(QStringLiteral("QLabel { padding: 4px 8px; border: 1px solid rgba(128, 128, 128, 0.6); }"));
    // Never cut: the flexible space beside the graph pager gives way first, and where the row
    // is still too narrow the badge takes a second line.
    badge->setWordWrap(true);
    badge->setMinimumWidth(badge->fontMetrics().horizontalAdvance(QStringLiteral("Folder contents simplified")) + 18);
    badge->setMaximumWidth(badge->fontMetrics().horizontalAdvance(badge->text()) + 24);
    badge->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    return badge;
}

QWidget* ViewerFooter::graphPager()
{
    graphPager_ = new QWidget;
    auto* pager = new QHBoxLayout(graphPager_);
    pager->setContentsMargins(0, 0, 0, 0);
    pager->addStretch();
    previousGraph_ = new QPushButton(QStringLiteral("Previous graph"));
    graphText_ = new QLabel;
    graphText_->setObjectName(QStringLiteral("graphText"));
    graphText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    nextGraph_ = new QPushButton(QStringLiteral("Next graph"));
    pager->addWidget(previousGraph_);
    pager->addWidget(graphText_);
    pager->addWidget(nextGraph_);
    connect(previousGraph_, &QPushButton::clicked, this, [this] { b_.showGraphPage(b_.graphPage() - 1); });
    connect(nextGraph_, &QPushButton::clicked, this, [this] { b_.showGraphPage(b_.graphPage() + 1); });
    return graphPager_;
}

void ViewerFooter::render()
{
    const qint64 graphPages = b_.graphPages();
    graphPager_->setVisible(b_.visible().size() > Branch::graphLimit);
    graphText_->setText(QStringLiteral("Graph ") + QString::number(b_.graphPage() + 1) + QStringLiteral(" of ")
                        + QString::number(graphPages));
    previousGraph_->setEnabled(b_.graphPage() > 0);
    nextGraph_->setEnabled(b_.graphPage() + 1 < graphPages);
}
