#pragma once

#include "app/platform/DesktopIntegration.h"

#include <QString>

// The desktop entry in $XDG_DATA_HOME/applications and the icon in the hicolor theme below
// $XDG_DATA_HOME/icons, both taken from the installed bundle's resources.
class FreedesktopIntegration : public DesktopIntegration {
public:
    // The desktop file id without ".desktop"; also the application's desktop file name, so
    // windows and the entry belong together.
    static const QString applicationId;

    void registerCopy(const QString& bundle) override;

    // $XDG_DATA_HOME when set and absolute, otherwise home + "/.local/share".
    static QString dataHome();
    // The entry text for a bundle's executable, from the bundle's entry template.
    static QString entryFor(const QString& templateText, const QString& executable);
};
