#pragma once

#include "app/platform/Workspace.h"

// The freedesktop file manager over D-Bus, and the desktop's default applications.
class DesktopWorkspace : public Workspace {
public:
    void reveal(const QString& path) override;
    bool open(const QString& path) override;
};
