#pragma once

#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/session/SessionDisk.h"
#include "app/viewer/model/Branch.h"

#include <QSettings>

#include <fcntl.h>
#include <mutex>
#include <string>
#include <unistd.h>

// Makes the folder the session's scope, with fresh preferences.
inline void useScope(const std::string& root, bool readOnly = false)
{
    QSettings().clear();
    const std::string data = TestHome::path() + "/Library/Application Support/tallyroom";
    SessionDisk::setCurrent(DiskScope(root, false, data, readOnly));
}

// A session whose scope is a fresh temporary folder, with its own saved-views folder.
class ViewerSession {
public:
    explicit ViewerSession(bool readOnly = false) { useScope(root.path(), readOnly); }

    std::string operator/(const std::string& relative) const { return root / relative; }
    QString path(const std::string& relative = {}) const
    {
        return QString::fromStdString(relative.empty() ? root.path() : root / relative);
    }
    QString viewsFolder() const { return QString::fromStdString(views.path()); }

    TempFolder root;
    TempFolder views;
};

inline VEntry folderAt(const QString& path)
{
    return VEntry {path, true, false, 0};
}

// The read has finished and the previews it asked for have arrived.
inline bool settled(const Branch& b)
{
    if (b.loading())
        return false;
    const QList<VEntry> shown = b.visible();
    const bool previewing = (!b.fullView() || shown.size() <= Branch::previewedAtMost)
                            && std::any_of(shown.begin(), shown.end(), [](const VEntry& e) { return e.folder; });
    return !previewing || !b.previews().isEmpty();
}

inline bool openAndSettle(Branch& b, const QString& path, bool keepPosition = false, bool preserveLayout = false)
{
    b.load(folderAt(path), keepPosition, preserveLayout);
    return waitUntil([&] { return settled(b); });
}

// A scope folder holding "huge", a folder of 100,000 empty files, and "small", a folder of
// one; made once per run.
inline const TempFolder& hugeScope()
{
    static TempFolder holder;
    static std::once_flag made;
    std::call_once(made, [] {
        const std::string folder = holder / "huge";
        Files::makeFolder(folder);
        for (int i = 0; i < 100000; ++i)
            close(::open((folder + "/file" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        Files::make(holder / "small/only.txt");
    });
    return holder;
}
