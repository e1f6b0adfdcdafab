#pragma once

#include "shared/platform/FileStatus.h"
#include "worker/PrivateFolder.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

class DeletionLog;

// The private folders of one removal run, one per folder it removes entries from, each made
// when the run first acts there (after putting back what killed runs left there) and removed
// at the run's end.
class RemovalRooms {
public:
    // `tag` ties the folders to the run's report; `log`, when there is one, is told of every
    // entry put back.
    RemovalRooms(std::string tag, DeletionLog* log);
    ~RemovalRooms();
    RemovalRooms(const RemovalRooms&) = delete;
    RemovalRooms& operator=(const RemovalRooms&) = delete;

    const std::string& tag() const { return tag_; }
    // The private folder for `parent`, shown in the log as `shownFolder`. Throws Failure when
    // it cannot be made, PosixError when the log cannot be written.
    const PrivateFolder& in(int parent, const FileStatus& parentStatus, std::string_view shownFolder);
    // Puts back what killed runs left in `parent` the first time the run meets it, and tells
    // the log. Throws PosixError when the log cannot be written.
    void visit(int parent, const FileStatus& parentStatus, std::string_view shownFolder);
    // The same, whether met before or not.
    void restore(int parent, std::string_view shownFolder);
    // The lines about entries put back since the last call.
    std::vector<std::string> takeNotes();

private:
    void removeAll();

    std::string tag_;
    DeletionLog* log_;
    std::vector<std::unique_ptr<PrivateFolder>> rooms_;
    std::set<std::tuple<int32_t, uint64_t, uint64_t>> visited_;
    std::vector<std::string> notes_;
};
