#include "app/auth/PamAuthenticator.h"
#include "app/platform/Bundle.h"
#include "app/shell/AppIdentity.h"
#include "app/shell/TallyroomApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tallyroom"));
    QApplication::setApplicationName(QStringLiteral("tallyroom"));
    AppIdentity::apply();
    QApplication::setQuitOnLastWindowClosed(false);
    PamAuthenticator authenticator;
    TallyroomApp app(authenticator, Bundle::helper(QStringLiteral("delver")));
    app.launch(QApplication::arguments());
    return QApplication::exec();
}
