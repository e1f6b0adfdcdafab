#pragma once

#include "shared/platform/UniqueFd.h"

#include <string_view>
#include <sys/types.h>

// The deletion log at the end of a scan report. Each text is appended whole or not at all, so
// the log never ends in a cut-off line that could read as something that happened.
class DeletionLog {
public:
    // Takes the report opened for appending. Throws PosixError when its end cannot be found.
    explicit DeletionLog(UniqueFd report);

    // After a failed or partial write the report is cut back to where it ended. Throws
    // PosixError with the write's error.
    void append(std::string_view text);

private:
    UniqueFd report_;
    off_t end_ = 0;
};
