#include "app/viewer/LocationLabel.h"

#include <QResizeEvent>

namespace {

// The narrowest the label gets: enough for "…/" and a folder name of ordinary length.
constexpr int widestNameKept = 220;

QString lastComponent(const QString& location)
{
    const qsizetype slash = location.lastIndexOf(QLatin1Char('/'));
    return slash < 0 || slash + 1 == location.size() ? location : location.mid(slash + 1);
}

}

LocationLabel::LocationLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("location"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void LocationLabel::setLocation(const QString& location)
{
    if (location == location_)
        return;
    location_ = location;
    setToolTip(location);
    setAccessibleName(location);
    const QString kept = QStringLiteral("…/") + lastComponent(location);
    setMinimumWidth(std::min(fontMetrics().horizontalAdvance(kept) + 2 * margin() + 4, widestNameKept));
    elide();
}

void LocationLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void LocationLabel::elide()
{
    const int width = contentsRect().width() - 2 * margin();
    const QString name = lastComponent(location_);
    QString shown = fontMetrics().elidedText(location_, Qt::ElideLeft, width);
    // Too narrow even for the name: the name itself is shortened in its middle, never dropped.
    if (!shown.endsWith(name)) {
        const QString head = QStringLiteral("…/");
        shown = head + fontMetrics().elidedText(name, Qt::ElideMiddle, width - fontMetrics().horizontalAdvance(head));
    }
    setText(shown);
}
