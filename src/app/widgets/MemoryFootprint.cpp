#include "app/widgets/MemoryFootprint.h"

#include <QFile>
#include <QRegularExpression>

std::optional<std::uint64_t> residentBytes(const QString& status)
{
    static const QRegularExpression line(QStringLiteral("^VmRSS:\\s+(\\d+) kB$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(status);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const std::uint64_t kilobytes = match.captured(1).toULongLong(&ok);
    return ok ? std::optional(kilobytes * 1024) : std::nullopt;
}

std::optional<std::uint64_t> memoryFootprint()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    return residentBytes(QString::fromLatin1(status.readAll()));
}

QString memoryUseText(std::optional<std::uint64_t> footprint)
{
    if (!footprint)
        return QStringLiteral("Memory use: unavailable");
    return QStringLiteral("Memory use: %1 MB").arg(*footprint / 1000000);
}
