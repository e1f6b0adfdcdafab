#pragma once

#include <QString>

// Makes an installed copy of the application findable on the desktop: its menu entry and icon.
class DesktopIntegration {
public:
    virtual ~DesktopIntegration() = default;

    // Points the desktop at the installed bundle, replacing what an earlier copy registered.
    // Throws Problem when an item of someone else is in the way or nothing could be written.
    virtual void registerCopy(const QString& bundle) = 0;
};
