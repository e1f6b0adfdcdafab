#pragma once

#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"

#include <string>
#include <string_view>

// A folder of this user's own inside a folder whose entries are being removed: mode 0700, a
// random name with a recognisable prefix, held by its descriptor and locked while the run
// lasts. An entry is moved in under its own name, checked and unlinked there, where no other
// user can reach it. The name carries the tag of the report that logs the run, so that a later
// run can tell whose leftover it is.
class PrivateFolder {
public:
    static constexpr std::string_view prefix = ".tallyroom-removing-";
    // A leftover being emptied by a later run: no longer evidence of what its run did.
    static constexpr std::string_view restoringPrefix = ".tallyroom-restoring-";

    // Makes one in `parent`, on the parent's mount. Throws Failure when it cannot be made or
    // what its name leads to is not the folder just made.
    PrivateFolder(int parent, const FileStatus& parentStatus, std::string_view tag);

    int fd() const { return fd_.get(); }
    int parent() const { return parent_.get(); }
    const std::string& name() const { return name_; }
    const FileStatus& parentStatus() const { return parentStatus_; }

    // Removes the folder if it is empty, and only while its name still leads to it.
    void remove() const;

    // A folder of this user that no one else may enter: what a private folder must be.
    static bool ours(const FileStatus& st);

private:
    UniqueFd parent_;
    UniqueFd fd_;
    std::string name_;
    FileStatus parentStatus_;
    FileStatus status_;
};
