#include "FileRow.h"

#include "Fmt.h"
#include "LockSymbol.h"
#include "Paths.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

namespace {

constexpr int padding = 6;
constexpr int gap = 10;

}

FileRow::FileRow(const Row& row, State state, QWidget* parent) : QAbstractButton(parent), row_(row), state_(state)
{
    setCheckable(false);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const QString prefix = kind() == Kind::Selectable ? QStringLiteral("Select ")
                           : kind() == Kind::Unlockable ? QStringLiteral("Unlock ")
                                                        : QStringLiteral("Report only: ");
    setAccessibleName(prefix + name());
    setAccessibleDescription(state_.removed ? QStringLiteral("Deleted")
                             : state_.selected ? QStringLiteral("Selected")
                                               : QStringLiteral("Not selected"));
    setToolTip(QString::fromStdString(row_.path));
}

QString FileRow::name() const
{
    return QString::fromStdString(std::string(Paths::lastComponent(row_.path)));
}

FileRow::Kind FileRow::kind() const
{
    if (row_.allowed || state_.approved)
        return Kind::Selectable;
    return row_.unlockable ? Kind::Unlockable : Kind::ReportOnly;
}

QString FileRow::symbol() const
{
    switch (kind()) {
    case Kind::Selectable:
        return state_.selected ? QStringLiteral("☑") : QStringLiteral("☐");
    case Kind::Unlockable:
        return QStringLiteral("lock");
    case Kind::ReportOnly:
        break;
    }
    return QStringLiteral("ℹ");
}

QString FileRow::tag() const
{
    if (state_.removed)
        return QStringLiteral("Deleted");
    if (row_.unlockable)
        return state_.approved ? QStringLiteral("Unlocked") : QStringLiteral("Click to unlock");
    return row_.allowed ? QString() : QStringLiteral("Report only");
}

QSize FileRow::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {400, padding * 2 + metrics.height() * 2 + 3};
}

void FileRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    if (state_.selected) {
        QColor fill = accent;
        fill.setAlphaF(0.12f);
        painter.fillRect(rect(), fill);
    }
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    const QRect area = rect().adjusted(padding, padding, -padding, -padding);

    QFont symbolFont = font();
    symbolFont.setPointSizeF(font().pointSizeF() * 1.2);
    painter.setFont(symbolFont);
    painter.setPen(state_.selected ? accent : secondary);
    const int symbolWidth = QFontMetrics(symbolFont).horizontalAdvance(QStringLiteral("☑")) + 4;
    const QRect symbolBox(area.left(), area.top(), symbolWidth, QFontMetrics(symbolFont).height());
    if (kind() == Kind::Unlockable)
        LockSymbol::draw(painter, QRectF(symbolBox).adjusted(1, 2, -4, -2), painter.pen().color());
    else
        painter.drawText(symbolBox, Qt::AlignLeft | Qt::AlignTop, symbol());

    QFont tagFont = font();
    tagFont.setPointSizeF(font().pointSizeF() * 0.8);
    const QString size = fmt(row_.bytes);
    const int tagWidth = tag().isEmpty() ? 0 : QFontMetrics(tagFont).horizontalAdvance(tag()) + gap;
    const int sizeWidth = QFontMetrics(font()).horizontalAdvance(size);
    const int textLeft = area.left() + symbolWidth + gap;
    const int textRight = area.right() - sizeWidth - tagWidth - gap;

    QFont nameFont = font();
    nameFont.setBold(true);
    nameFont.setStrikeOut(state_.removed);
    painter.setFont(nameFont);
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics nameMetrics(nameFont);
    painter.drawText(QRect(textLeft, area.top(), textRight - textLeft, nameMetrics.height()), Qt::AlignLeft | Qt::AlignTop,
                     nameMetrics.elidedText(name(), Qt::ElideMiddle, textRight - textLeft));
    QFont pathFont = font();
    pathFont.setPointSizeF(font().pointSizeF() * 0.85);
    pathFont.setStrikeOut(state_.removed);
    painter.setFont(pathFont);
    painter.setPen(secondary);
    const QFontMetrics pathMetrics(pathFont);
    painter.drawText(QRect(textLeft, area.top() + nameMetrics.height() + 3, textRight - textLeft, pathMetrics.height()),
                     Qt::AlignLeft | Qt::AlignTop,
                     pathMetrics.elidedText(QString::fromStdString(row_.path), Qt::ElideMiddle, textRight - textLeft));

    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(area.right() - sizeWidth - tagWidth, area.top(), sizeWidth, area.height()),
                     Qt::AlignRight | Qt::AlignTop, size);
    if (!tag().isEmpty()) {
        painter.setFont(tagFont);
        painter.setPen(secondary);
        painter.drawText(QRect(area.right() - tagWidth + gap, area.top() + 2, tagWidth - gap, area.height()),
                         Qt::AlignRight | Qt::AlignTop, tag());
    }
    painter.setPen(QColor(128, 128, 128, 60));
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}

void FileRow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* reveal = menu.addAction(QStringLiteral("Show in Finder"));
    reveal->setObjectName(QStringLiteral("Reveal ") + name());
    if (menu.exec(event->globalPos()) == reveal)
        emit revealRequested(QString::fromStdString(row_.path));
}
