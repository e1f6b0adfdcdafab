#include "worker/ScanOperation.h"

#include "worker/Capacity.h"
#include "worker/Failure.h"
#include "worker/Output.h"
#include "worker/Policy.h"
#include "worker/ReportFile.h"
#include "worker/Scanner.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <unistd.h>

namespace {

std::string reportText(const DiskScope& scope, const Scanner& scanner, const Usage& usage)
{
    std::string text = "tallyroom • " + scope.name() + " • " + scope.root();
    text += "\n" + std::to_string(scanner.files()) + " readable files; " + std::to_string(scanner.errors()) + " skipped.";
    text += "\nCapacity / used / available (bytes): " + std::to_string(usage.capacity) + " / "
            + std::to_string(usage.used) + " / " + std::to_string(usage.free);
    for (size_t index = 0; index < Ranking::groupCount; ++index) {
        text += "\n\n";
        text += Ranking::labels[index];
        for (const Ranking::Entry& entry : scanner.ranking().group(index)) {
            text += "\n" + std::to_string(entry.size) + " bytes  ";
            text += scope.visible(entry.path);
            text += "  [";
            text += entry.policy;
            text += "]";
        }
    }
    return text;
}

std::vector<Row> rows(const DiskScope& scope, const Ranking& ranking)
{
    std::vector<Row> rows;
    for (size_t index = 0; index < Ranking::groupCount; ++index) {
        for (const Ranking::Entry& entry : ranking.group(index)) {
            auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.raw == entry.path; });
            if (row == rows.end()) {
                row = rows.insert(rows.end(), Row {entry.path, std::string(scope.visible(entry.path)), entry.size,
                                                   entry.stamp, entry.policy == Worker::Policy::normal,
                                                   entry.policy == Worker::Policy::challenge, {}});
            }
            row->groups.emplace_back(Ranking::labels[index]);
        }
    }
    return rows;
}

}

namespace Worker {

nlohmann::json scan(const DiskScope& scope)
{
    Scanner scanner(scope, STDOUT_FILENO);
    scanner.walk();
    if (!scope.valid())
        throw Failure("The selected disk is no longer available.");
    const Usage capacity = usage(scope);
    if (scope.readOnly())
        return Scan {rows(scope, scanner.ranking()), scanner.files(), scanner.errors(), capacity, {}};
    const ReportFile file = report(scope, scanReportPrefix);
    Output::writeNewFile(file.folder.get(), file.name, reportText(scope, scanner, capacity));
    return Scan {rows(scope, scanner.ranking()), scanner.files(), scanner.errors(), capacity, file.path};
}

}
