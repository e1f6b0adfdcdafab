#pragma once

#include "shared/DiskScope.h"
#include "shared/Stamp.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <vector>

class DeletionLog;
class RemovalRooms;

namespace Worker {
// What one removal run shares between its rows: its private folders and, when it keeps one,
// the log that records each act before it happens.
struct Run {
    RemovalRooms& rooms;
    DeletionLog* log;
};

// The delete operation: removes the reviewed rows of the request that are still exactly
// what the scan saw, logging each to the scan report. Throws on a bad request or report.
nlohmann::json remove(const DiskScope& scope, const std::string& request);
// Removes one reviewed file, reached without following links. Throws Failure with the
// reason when the file is left alone.
void removeEntry(const std::string& raw, const Stamp& signature, bool approved,
                 const DiskScope& scope, Run run);
// The same as a run of its own, without a log.
void removeEntry(const std::string& raw, const Stamp& signature, bool approved,
                 const DiskScope& scope);
}
