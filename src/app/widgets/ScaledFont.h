#pragma once

#include <QFont>

// The font at `factor` times its point size.
QFont scaledFont(QFont font, double factor);
