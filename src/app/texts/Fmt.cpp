#include "app/texts/Fmt.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace {

struct Unit {
    const char* name;
    int fractionDigits;
};

constexpr std::array<Unit, 6> units = {{{"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}, {"EB", 2}}};

QString number(double value, int fractionDigits)
{
    QString text = QLocale().toString(value, 'f', fractionDigits);
    const QString point = QLocale().decimalPoint();
    if (fractionDigits > 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

}

QString fmt(int64_t bytes)
{
    if (bytes == 0)
        return QStringLiteral("Zero KB");
    const double magnitude = std::fabs(static_cast<double>(bytes));
    const QString sign = bytes < 0 ? QStringLiteral("-") : QString();
    if (magnitude < 1000)
        return sign + QLocale().toString(static_cast<qlonglong>(magnitude)) + (magnitude == 1 ? " byte" : " bytes");
    double value = magnitude / 1000;
    size_t unit = 0;
    // Move up a unit once the value would be shown as 1000 of this one.
    while (unit + 1 < units.size()) {
        const double scale = std::pow(10.0, units[unit].fractionDigits);
        if (std::round(value * scale) / scale < 1000)
            break;
        value /= 1000;
        ++unit;
    }
    return sign + number(value, units[unit].fractionDigits) + " " + units[unit].name;
}
