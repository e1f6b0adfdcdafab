#include "app/widgets/ReleaseTitle.h"

#include "app/platform/Bundle.h"

QString bundleVersion(const QString& bundle)
{
    return Bundle::shortVersion(bundle).value_or(QStringLiteral("?"));
}

QString releaseTitle()
{
    static const QString title = QStringLiteral("tallyroom v") + bundleVersion(Bundle::location());
    return title;
}

QString aboutTitle()
{
    static const QString title = QStringLiteral("About V") + bundleVersion(Bundle::location());
    return title;
}
