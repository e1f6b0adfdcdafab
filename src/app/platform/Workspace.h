#pragma once

#include <QString>

// The desktop's file manager and default applications.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Opens a file manager window with the item selected.
    virtual void reveal(const QString& path) = 0;
    // Opens the file with its default application; false when nothing could open it.
    virtual bool open(const QString& path) = 0;
};
