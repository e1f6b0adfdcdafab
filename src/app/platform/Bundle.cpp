#include "app/platform/Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace Bundle {

QString location()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QDir::cleanPath(QFileInfo(executable).absolutePath() + QStringLiteral("/../.."));
}

QString helper(const QString& name)
{
    return location() + QStringLiteral("/Contents/Helpers/") + name;
}

std::optional<QString> shortVersion(const QString& bundle)
{
    QFile file(bundle + QStringLiteral("/Contents/Info.plist"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    QString key;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("key")) {
            key = xml.readElementText();
            continue;
        }
        if (key == QLatin1String("CFBundleShortVersionString"))
            return xml.name() == QLatin1String("string") ? std::optional(xml.readElementText()) : std::nullopt;
        key.clear();
    }
    return std::nullopt;
}

}
