#pragma once

#include "app/folders/VEntry.h"

#include <QObject>
#include <QUrl>
#include <QUuid>

#include <cstdint>
#include <functional>
#include <optional>

class Authenticator;

// A reviewed move to the Trash: what was reviewed and how the item looked at review time.
// Nothing is moved unless every check passes again, with the same identity, just before.
struct TrashReview {
    QUuid revision;
    QUuid id;
    VEntry entry;
    int32_t dev = 0;
    uint64_t ino = 0;
    // The mount the item was reviewed on: a bind mount shares the device, never the mount.
    uint64_t mount = 0;
    int64_t ctimeSeconds = 0;
    int64_t ctimeNanoseconds = 0;
    bool auth = false;

    // Throws TrashProblem when the item may not be moved. Only reads the file system.
    explicit TrashReview(const VEntry& entry);

    // A ticket for a folder chosen in an open panel; links and files are refused.
    static TrashReview folder(const QUrl& url);

    // Checks everything again and moves the item. Throws TrashProblem, or Problem with the
    // Trash's own words. May block: call it off the main thread.
    void move(bool authenticated) const;

    // Authenticates when the ticket asks for it, then moves on a worker thread. `done` runs on
    // the context's thread with nothing on success or the failure's description; never once
    // the context has gone.
    void moveAfterApproval(Authenticator* authenticator, QObject* context,
                           std::function<void(std::optional<QString> failure)> done) const;
};
