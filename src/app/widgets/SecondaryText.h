#pragma once

class QWidget;

// The muted colour (and optionally a smaller size) of captions and explanations.
namespace SecondaryText {
void apply(QWidget* widget, double sizeFactor = 1.0);
}
