#pragma once

#include "app/operations/WorkerProcess.h"
#include "shared/Wire.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Runs the worker once for the session's current scope, hands each progress line to
// `progress` and returns the bytes after the last line feed when the worker succeeds.
// Throws TrashProblem with the worker's own words when it fails, naming the worker's path when
// it cannot be started or crashes, and saying which signal ended it when it was killed; throws
// PosixError when it cannot be fed. Blocks the calling thread for the whole run: never call it
// on the main thread.
QByteArray job(const QString& worker, const QString& operation, const std::optional<QByteArray>& request,
               const std::function<void(const Tick&)>& progress,
               const std::function<void(std::shared_ptr<WorkerProcess>)>& launched = {});
