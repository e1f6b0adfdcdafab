#pragma once

#include "shared/DiskScope.h"
#include "shared/Wire.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The scan report as a deletion left it, for a run that ended without its answer: the
// lines the run wrote tell which reviewed files are gone. Read, never written.
class DeletionReport {
public:
    // Marks where the report ends before the run writes to it.
    explicit DeletionReport(std::string path);

    // What the lines written since the mark say about the rows, sent in this order.
    struct Outcome {
        // One line per row the worker reached, deleted or not.
        std::vector<std::string> lines;
        std::vector<std::string> removed;
    };
    Outcome outcome(const std::vector<Row>& rows, const DiskScope& scope) const;

private:
    struct Mark {
        int32_t device;
        uint64_t inode;
        int64_t end;
    };

    std::optional<std::string> writtenSinceMark() const;

    std::string path_;
    std::optional<Mark> mark_;
};
