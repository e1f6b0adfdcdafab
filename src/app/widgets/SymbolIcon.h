#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// Small symbols for buttons and labels: the desktop theme's icon when it has one, otherwise
// the bundled drawing in the given colour, so symbols never depend on a font.
namespace SymbolIcon {
// themeName is a freedesktop icon name; fallback names a drawing in the bundled icons
// (":/icons/<fallback>.svg").
QIcon named(const QString& themeName, const QString& fallback, const QColor& colour);
// The theme's icon, else the bundled drawing as it is drawn.
QIcon themed(const QString& themeName, const QString& fallback);
// The bundled drawing as it is drawn, for symbols no icon theme names.
QIcon bundled(const QString& name);
// The bundled drawing alone, in the given colour, at the given size in device-independent pixels.
QPixmap drawn(const QString& fallback, const QColor& colour, int size, qreal devicePixelRatio);
}
