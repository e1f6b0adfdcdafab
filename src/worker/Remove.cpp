#include "Remove.h"

#include "Capacity.h"
#include "Failure.h"
#include "InstallSafety.h"
#include "Output.h"
#include "Paths.h"
#include "Policy.h"
#include "Stamp.h"
#include "Wire.h"
#include "platform/FileFlags.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace {

constexpr const char* invalidRequest = "Invalid request.";
constexpr const char* reportUnavailable = "Scan report unavailable.";

struct ReviewedRow {
    std::string raw;
    std::vector<std::string> signature;
};

std::optional<ReviewedRow> reviewedRow(const nlohmann::json& row)
{
    const auto raw = row.find("raw");
    const auto signature = row.find("signature");
    if (raw == row.end() || !raw->is_string() || signature == row.end() || !signature->is_array())
        return std::nullopt;
    ReviewedRow reviewed {raw->get<std::string>(), {}};
    for (const nlohmann::json& part : *signature) {
        if (!part.is_string())
            return std::nullopt;
        reviewed.signature.push_back(part.get<std::string>());
    }
    return reviewed;
}

std::set<std::string> approvedSet(const nlohmann::json& request)
{
    std::set<std::string> approved;
    const auto found = request.find("approved");
    if (found == request.end() || !found->is_array())
        return approved;
    for (const nlohmann::json& item : *found) {
        if (!item.is_string())
            return {};
        approved.insert(item.get<std::string>());
    }
    return approved;
}

// The scan report the rows came from, opened for appending after every check.
UniqueFd openReport(const DiskScope& scope, const std::string& path)
{
    if (Paths::standardized(Paths::parent(path)) != Paths::standardized(scope.reports()))
        throw Failure(reportUnavailable);
    const auto st = FileStatus::of(path);
    if (!st || !st->isRegular())
        throw Failure(reportUnavailable);
    InstallSafety::validate(scope.data(), true);
    InstallSafety::checkDirectories(scope.reports());
    UniqueFd report(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
    if (!report)
        throw Failure("Cannot open scan report.");
    const auto opened = FileStatus::ofDescriptor(report.get());
    const std::string_view name = Paths::lastComponent(path);
    if (!opened || !opened->isRegular() || opened->uid != getuid() || opened->nlink != 1
        || name.substr(0, 10) != "Disk scan " || Paths::extension(name) != "txt")
        throw Failure("Invalid scan report.");
    return report;
}

// Walks from "/" to the file's folder, one component at a time, never following a link.
UniqueFd openParent(UniqueFd folder, const std::vector<std::string_view>& pieces)
{
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        const std::string piece(pieces[i]);
        UniqueFd next(openat(folder.get(), piece.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next)
            throw Failure("Parent folder changed.");
        folder = std::move(next);
    }
    return folder;
}

std::vector<std::string_view> pathPieces(const std::string& raw)
{
    std::vector<std::string_view> pieces;
    bool valid = !raw.empty() && raw.front() == '/';
    Paths::forEachComponent(raw, [&](std::string_view piece) {
        valid = valid && piece != "." && piece != "..";
        pieces.push_back(piece);
        return valid;
    });
    if (!valid || pieces.empty())
        throw Failure("Invalid path.");
    return pieces;
}

// Lifts the user lock of the reviewed file; returns the open file so the lock can be put
// back if the removal fails.
UniqueFd unlock(int parent, const char* name, const std::vector<std::string>& signature, uint32_t flags)
{
    UniqueFd file(openat(parent, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    const auto st = file ? FileStatus::ofDescriptor(file.get()) : std::nullopt;
    if (!st || Worker::signature(*st) != signature || !FileFlags::set(file.get(), flags & ~FileFlags::userImmutable))
        throw Failure("Could not unlock the reviewed file.");
    return file;
}

}

namespace Worker {

void removeEntry(const std::string& raw, const std::vector<std::string>& signature, bool approved,
                 const DiskScope& scope)
{
    UniqueFd root(open("/", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!root)
        throw Failure("Cannot open root.");
    const std::vector<std::string_view> pieces = pathPieces(raw);
    const UniqueFd parent = openParent(std::move(root), pieces);
    const std::string name(pieces.back());
    const auto st = scope.valid() ? FileStatus::at(parent.get(), name.c_str()) : std::nullopt;
    if (!st || Worker::signature(*st) != signature)
        throw Failure("File changed since scan.");
    const std::string_view policy = mode(scope, raw, *st);
    if (policy != Policy::normal && !(policy == Policy::challenge && approved))
        throw Failure("File is protected or requires authentication.");
    UniqueFd unlocked;
    if (st->flags & FileFlags::userImmutable)
        unlocked = unlock(parent.get(), name.c_str(), signature, st->flags);
    const auto now = FileStatus::at(parent.get(), name.c_str());
    if (now && now->inode == st->inode && now->device == st->device && unlinkat(parent.get(), name.c_str(), 0) == 0)
        return;
    if (unlocked)
        FileFlags::set(unlocked.get(), st->flags);
    throw Failure("File changed or removal was denied.");
}

nlohmann::json remove(const DiskScope& scope, const std::string& input)
{
    const nlohmann::json request = nlohmann::json::parse(input);
    const auto reportKey = request.is_object() ? request.find("report") : request.end();
    const auto rowsKey = request.is_object() ? request.find("rows") : request.end();
    if (!request.is_object() || reportKey == request.end() || !reportKey->is_string() || rowsKey == request.end()
        || !rowsKey->is_array())
        throw Failure(invalidRequest);
    for (const nlohmann::json& row : *rowsKey)
        if (!row.is_object())
            throw Failure(invalidRequest);
    const UniqueFd report = openReport(scope, reportKey->get<std::string>());
    ResultInfo result;
    result.before = usage(scope);
    const std::set<std::string> approved = approvedSet(request);
    for (const nlohmann::json& row : *rowsKey) {
        const auto reviewed = reviewedRow(row);
        if (!reviewed)
            continue;
        const std::string_view shown = scope.visible(reviewed->raw);
        std::string message;
        try {
            removeEntry(reviewed->raw, reviewed->signature, approved.count(reviewed->raw) > 0, scope);
            result.removed.push_back(reviewed->raw);
            message = "Deleted: " + std::string(shown);
        } catch (const Problem& problem) {
            message = "Skipped: " + std::string(shown) + " — " + problem.description();
        }
        Output::write(report.get(), "\n" + message);
        result.messages.push_back(std::move(message));
    }
    result.after = usage(scope);
    result.deleted = static_cast<int64_t>(result.removed.size());
    Output::write(report.get(), "\nAvailable bytes before: " + std::to_string(result.before.free)
                                    + " • after: " + std::to_string(result.after.free) + "\n");
    return result;
}

}
