#pragma once

#include "shared/platform/UniqueFd.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The deletion log at the end of a scan report. Each text is appended whole or not at all, so
// the log never ends in a cut-off line that could read as something that happened.
//
// Before a file is unlinked its line is written as "Pending: PATH"; once the outcome is known,
// "Pending:" is overwritten in place with "Deleted:" or "Skipped:" (the same length), so a run
// killed at any point leaves at most one line whose outcome is not told, always the last one.
class DeletionLog {
public:
    static constexpr std::string_view pendingPrefix = "Pending: ";
    static constexpr std::string_view deletedPrefix = "Deleted: ";

    // Takes the report opened for reading and writing. Throws PosixError when its end or its
    // last line cannot be read.
    explicit DeletionLog(UniqueFd report);

    // Throws PosixError with the write's error; the report is cut back to where it ended.
    void append(std::string_view text);

    // Writes the pending line of the file about to be unlinked (shown as the log shows it).
    void intend(std::string_view shown);
    // The pending line becomes "Skipped:", before the file is put back.
    void abandon();
    // Writes a row's "Deleted: " or "Skipped: " message: over the pending line when there is
    // one (the reason, if any, is appended after the line is turned), otherwise as a new line.
    void record(std::string_view message);

    // The path of the pending line a killed run left as the report's last line; none when the
    // report ends otherwise. record() settles it; keepUnsettled() leaves it as it is.
    const std::optional<std::string>& interrupted() const { return interrupted_; }
    void keepUnsettled();

    // The error of the first write that failed, or "".
    const std::string& failure() const { return failure_; }

private:
    struct Pending {
        off_t line = 0;
        size_t shownLength = 0;
        bool abandoned = false;
    };

    void overwrite(off_t at, std::string_view text);
    void readLastLine();

    UniqueFd report_;
    off_t end_ = 0;
    std::optional<Pending> pending_;
    std::optional<std::string> interrupted_;
    std::string failure_;
};
