#include "app/widgets/CreditChecksum.h"

#include "app/platform/DiskImage.h"
#include "app/session/Preferences.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

namespace {

const QString openFromImage = QStringLiteral("Open the app from its DMG to calculate");

std::optional<QString> md5Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

}

namespace CreditChecksum {

bool plausible(const QString& checksum)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9a-f]{32}$"));
    return digits.match(checksum).hasMatch();
}

QString load(const QString& version, const QString& bundle, DiskImage& images)
{
    const auto kept = Preferences::creditChecksum(version);
    if (kept && plausible(*kept))
        return *kept;
    if (!images.onImage(bundle))
        return openFromImage;
    const auto image = images.imageFile(bundle);
    const auto checksum = image ? md5Of(*image) : std::nullopt;
    if (!checksum)
        return openFromImage;
    Preferences::setCreditChecksum(version, *checksum);
    return *checksum;
}

}
