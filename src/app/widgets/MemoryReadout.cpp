#include "app/widgets/MemoryReadout.h"

#include "app/widgets/MemoryFootprint.h"

#include <QFontDatabase>
#include <QTimer>

MemoryReadout::MemoryReadout(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("memoryReadout"));
    setToolTip(QStringLiteral("Physical memory footprint of the tallyroom app process, updated every two seconds."));
    QFont caption = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    caption.setPointSizeF(font().pointSizeF() * 0.85);
    setFont(caption);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* timer = new QTimer(this);
    timer->setInterval(2000);
    connect(timer, &QTimer::timeout, this, &MemoryReadout::refresh);
    timer->start();
    refresh();
}

void MemoryReadout::refresh()
{
    // The kernel's own counter, not a file on disk: cheap enough to read on every tick.
    setText(memoryUseText(memoryFootprint()));
}
