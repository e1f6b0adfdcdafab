#pragma once

#include "app/folders/VEntry.h"
#include "shared/platform/FileStatus.h"

#include <QList>
#include <QString>

#include <optional>
#include <stop_token>

// Reads one folder level of the session's scope, never following links.
namespace DiskTree {
// The folder's children that the scope admits, folders first, then by title the way a file
// browser orders names. With a limit, reading stops after that many accepted entries.
// Blocking; checks `stop` before reading and after every entry.
// Throws DiskViewerError, TrashProblem, PosixError or ReadCancelled.
QList<VEntry> children(const QString& path, bool hidden, std::optional<int> limit, std::stop_token stop = {});
// The item's own status, or none when it cannot be taken.
std::optional<FileStatus> metadata(const QString& path);
}
