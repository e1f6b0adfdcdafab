#include "app/platform/LoopDiskImage.h"

#include "shared/Problem.h"
#include "shared/platform/Volumes.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// The loop device name ("loop3") of the bundle's volume, or "" when it is not on one.
QString loopDevice(const QString& bundle)
{
    try {
        const Mount mount = Volumes::containing(bundle.toStdString());
        const QRegularExpression loop(QStringLiteral("^/dev/(loop[0-9]+)$"));
        const auto match = loop.match(QString::fromStdString(mount.source));
        return match.hasMatch() ? match.captured(1) : QString();
    } catch (const Problem&) {
        return {};
    }
}

}

bool LoopDiskImage::onImage(const QString& bundle)
{
    return !loopDevice(bundle).isEmpty();
}

std::optional<QString> LoopDiskImage::imageFile(const QString& bundle)
{
    const QString device = loopDevice(bundle);
    if (device.isEmpty())
        return std::nullopt;
    QFile backing(QStringLiteral("/sys/block/%1/loop/backing_file").arg(device));
    if (!backing.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString path = QString::fromUtf8(backing.readAll()).trimmed();
    return path.isEmpty() ? std::nullopt : std::optional(path);
}
