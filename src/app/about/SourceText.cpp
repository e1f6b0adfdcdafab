#include "app/about/SourceText.h"

#include "app/platform/Bundle.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace SourceText {

namespace {

QString unreadable(const QString& path, const QString& reason)
{
    return QStringLiteral("The file “%1” couldn’t be opened%2.").arg(QFileInfo(path).fileName(), reason);
}

}

QString location()
{
    return Bundle::location() + QStringLiteral("/Contents/Resources/Tallyroom Source.txt");
}

QString read(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return unreadable(path, QStringLiteral(" because there is no such file"));
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, QString());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(file.readAll());
    if (utf8.hasError())
        return unreadable(path, QStringLiteral(" using text encoding Unicode (UTF-8)"));
    return text;
}

}
