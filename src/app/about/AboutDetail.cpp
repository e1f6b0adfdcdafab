#include "app/about/AboutDetail.h"

#include <QFrame>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

AboutDetail::AboutDetail(QString id, QWidget* content, WindowAction openWindow, WindowAction dismissWindow,
                         QWidget* parent)
    : QWidget(parent), id_(std::move(id)), openWindow_(std::move(openWindow)), dismissWindow_(std::move(dismissWindow))
{
    setObjectName(QStringLiteral("aboutDetail"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* back = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back to About"));
    back->setFlat(true);
    connect(back, &QPushButton::clicked, this, &AboutDetail::backToAbout);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(12, 12, 12, 12);
    bar->addWidget(back);
    bar->addStretch();
    layout->addLayout(bar);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addWidget(content, 1);
}

void AboutDetail::backToAbout()
{
    openWindow_(QStringLiteral("about"));
    dismissWindow_(id_);
}
