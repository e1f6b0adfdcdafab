#pragma once

#include <QCollator>

// The order a file browser shows names in: case-insensitive, digits by their numeric value.
// The C locale collates by code point and ignores both settings, so English stands in for it.
QCollator browserCollator();
