// Changes made to the disk exactly between a check of the worker and the act that relies on
// it, through the worker's named points: what was reviewed is removed, nothing else, and
// nothing is lost.

#include "DelverHarness.h"
#include "shared/PosixError.h"
#include "shared/Stamp.h"
#include "worker/Output.h"
#include "worker/Remove.h"
#include "worker/ReportFile.h"
#include "worker/Seam.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <fcntl.h>

using namespace harness;

namespace {

// Runs the change once, when the worker reaches the point.
class AtPoint {
public:
    AtPoint(std::string point, std::function<void()> change) : point_(std::move(point)), change_(std::move(change))
    {
        Seam::hook = [this](std::string_view reached) {
            if (reached == point_ && change_)
                std::exchange(change_, nullptr)();
        };
    }
    ~AtPoint() { Seam::hook = nullptr; }
    AtPoint(const AtPoint&) = delete;
    AtPoint& operator=(const AtPoint&) = delete;

    bool ran() const { return !change_; }

private:
    std::string point_;
    std::function<void()> change_;
};

uint64_t inodeOf(const std::string& path)
{
    const auto st = FileStatus::of(path);
    return st ? st->inode : 0;
}

Stamp reviewedStamp(const std::string& path)
{
    return Stamp::of(*FileStatus::of(path));
}

// The reason removeEntry gave for leaving the file, or "" when it removed it.
std::string removal(const std::string& raw, const Stamp& stamp, const DiskScope& scope)
{
    try {
        Worker::removeEntry(raw, stamp, false, scope);
        return "";
    } catch (const Problem& problem) {
        return problem.description();
    }
}

// The one name in the folder that starts with the prefix, or "" when there is none or several.
std::string onlyNameStarting(const std::string& folder, const std::string& prefix)
{
    std::string found;
    for (const std::string& name : files(folder)) {
        if (name.rfind(prefix, 0) != 0)
            continue;
        if (!found.empty())
            return "";
        found = name;
    }
    return found;
}

void exchange(const std::string& a, const std::string& b)
{
    ASSERT_EQ(renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE), 0) << a;
}

struct Pair {
    std::string reviewed, lookAlike;
    uint64_t reviewedInode, lookAlikeInode;
    Stamp stamp;
};

Pair makePair(const Case& c, const std::string& name)
{
    Files::make(c.at(name), 500);
    Files::make(c.at(name + ".look"), 500);
    return {c.at(name), c.at(name + ".look"), inodeOf(c.at(name)), inodeOf(c.at(name + ".look")), reviewedStamp(c.at(name))};
}

const DiskScope scopeOf(const Case& c) { return DiskScope(c.root, false, c.data); }

}

TEST(RemovalRace, LookAlikeSwappedInAfterTheCheckIsPutBackAndKept)
{
    Case c;
    const DiskScope scope = scopeOf(c);
    const std::string changed = "File changed since scan.";

    // Exchanged with a sibling between the check and the move to the private name.
    const Pair swapped = makePair(c, "swapped.bin");
    {
        AtPoint at("removal.checked", [&] { exchange(swapped.reviewed, swapped.lookAlike); });
        EXPECT_EQ(removal(swapped.reviewed, swapped.stamp, scope), changed);
        EXPECT_TRUE(at.ran());
    }
    EXPECT_EQ(inodeOf(swapped.reviewed), swapped.lookAlikeInode) << "the look-alike is back under the name";
    EXPECT_EQ(inodeOf(swapped.lookAlike), swapped.reviewedInode);

    // Another entry renamed over the name (the reviewed file moved aside first, so both live on).
    const Pair renamed = makePair(c, "renamed.bin");
    {
        AtPoint at("removal.checked", [&] {
            std::filesystem::rename(renamed.reviewed, c.at("renamed.bin.aside"));
            std::filesystem::rename(renamed.lookAlike, renamed.reviewed);
        });
        EXPECT_EQ(removal(renamed.reviewed, renamed.stamp, scope), changed);
    }
    EXPECT_EQ(inodeOf(renamed.reviewed), renamed.lookAlikeInode);
    EXPECT_EQ(inodeOf(c.at("renamed.bin.aside")), renamed.reviewedInode);

    // The private folder's name exchanged with another entry while the reviewed file is held
    // inside: the folder is held by its descriptor, so the reviewed file goes and the other stays.
    const Pair held = makePair(c, "held.bin");
    std::string room;
    {
        AtPoint at("removal.held", [&] {
            room = onlyNameStarting(c.root, ".tallyroom-removing-");
            ASSERT_FALSE(room.empty());
            exchange(c.at(room), held.lookAlike);
        });
        EXPECT_EQ(removal(held.reviewed, held.stamp, scope), "");
        EXPECT_TRUE(at.ran());
    }
    EXPECT_FALSE(Files::exists(held.reviewed));
    EXPECT_EQ(inodeOf(c.at(room)), held.lookAlikeInode) << "the other entry is never removed in its place";
    exchange(c.at(room), held.lookAlike);
    std::filesystem::remove(c.at(room));

    // Written to after the check: same entry, other content.
    const Pair grown = makePair(c, "grown.bin");
    {
        AtPoint at("removal.checked", [&] { Files::write(grown.reviewed, std::string(501, 'y')); });
        EXPECT_EQ(removal(grown.reviewed, grown.stamp, scope), changed);
    }
    EXPECT_EQ(inodeOf(grown.reviewed), grown.reviewedInode);

    EXPECT_EQ(onlyNameStarting(c.root, ".tallyroom-"), "") << "no private name is left behind";
    // Untouched, the reviewed file goes and its look-alike stays.
    const Pair plain = makePair(c, "plain.bin");
    EXPECT_EQ(removal(plain.reviewed, plain.stamp, scope), "");
    EXPECT_FALSE(Files::exists(plain.reviewed));
    EXPECT_EQ(inodeOf(plain.lookAlike), plain.lookAlikeInode);
}

TEST(RemovalRace, EntryThatCannotBePutBackIsLeftUnderARecoveryNameTheMessageGives)
{
    Case c;
    const DiskScope scope = scopeOf(c);
    const Pair pair = makePair(c, "taken.bin");
    uint64_t newcomer = 0;
    AtPoint swap("removal.checked", [&] { exchange(pair.reviewed, pair.lookAlike); });
    Seam::hook = [&, first = Seam::hook](std::string_view point) {
        first(point);
        if (point == "removal.held" && !newcomer) {
            Files::make(pair.reviewed, 7);
            newcomer = inodeOf(pair.reviewed);
        }
    };
    const std::string reason = removal(pair.reviewed, pair.stamp, scope);

    const std::string recovered = onlyNameStarting(c.root, "taken.bin.tallyroom-recovered-");
    ASSERT_FALSE(recovered.empty()) << reason;
    EXPECT_EQ(reason, "File changed since scan. The entry found under its name was not the reviewed file and could not "
                      "be put back; it is now at "
                          + c.at(recovered) + ". The reviewed file is at " + pair.lookAlike + ".");
    EXPECT_EQ(inodeOf(c.at(recovered)), pair.lookAlikeInode);
    EXPECT_EQ(inodeOf(pair.reviewed), newcomer);
    EXPECT_EQ(inodeOf(pair.lookAlike), pair.reviewedInode);
    EXPECT_EQ(onlyNameStarting(c.root, ".tallyroom-removing-"), "");
}

TEST(RemovalRace, ReviewedFileThatCannotBeUnlinkedStaysAndTheMessageSaysWhere)
{
    Case c;
    const DiskScope scope = scopeOf(c);
    const Pair pair = makePair(c, "stuck.bin");
    std::string hidden;
    // Locked while held: it can be neither removed nor renamed back.
    AtPoint at("removal.verified", [&] {
        hidden = onlyNameStarting(c.root, ".tallyroom-removing-") + "/stuck.bin";
        shell("chattr +i " + shellQuoted(c.at(hidden)));
    });
    const std::string reason = removal(pair.reviewed, pair.stamp, scope);
    EXPECT_EQ(reason, "File changed or removal was denied. The reviewed file could not be moved back and is still at "
                          + c.at(hidden) + ".");
    EXPECT_EQ(inodeOf(c.at(hidden)), pair.reviewedInode);
    shell("chattr -i " + shellQuoted(c.at(hidden)));
}

TEST(RemovalRace, ParentFolderSwappedForALinkAfterItWasOpened)
{
    Case c;
    const DiskScope scope = scopeOf(c);
    Files::make(c.at("sub/x.bin"), 300);
    Files::make(c.at("decoy/x.bin"), 300);
    const auto stamp = reviewedStamp(c.at("sub/x.bin"));
    const uint64_t decoy = inodeOf(c.at("decoy/x.bin"));
    AtPoint at("removal.parentOpened", [&] {
        std::filesystem::rename(c.at("sub"), c.at("sub-real"));
        std::filesystem::create_directory_symlink(c.at("decoy"), c.at("sub"));
    });
    // The folder already open is the reviewed file's own: the reviewed file goes, the decoy stays.
    EXPECT_EQ(removal(c.at("sub/x.bin"), stamp, scope), "");
    EXPECT_FALSE(Files::exists(c.at("sub-real/x.bin")));
    EXPECT_EQ(inodeOf(c.at("decoy/x.bin")), decoy);
}

TEST(RemovalRace, EntriesReachedAcrossABindMountAreRefused)
{
    Case c;
    Case outside;
    const DiskScope scope = scopeOf(c);
    Files::make(outside.at("folder/big.bin"), 900);
    Files::make(outside.at("single.bin"), 800);
    Files::makeFolder(c.at("inside/mnt"));
    Files::make(c.at("covered.bin"), 800);
    if (mount(outside.at("folder").c_str(), c.at("inside/mnt").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not allowed here: " << std::strerror(errno);
    c.mounts.push_back(c.at("inside/mnt"));
    ASSERT_EQ(mount(outside.at("single.bin").c_str(), c.at("covered.bin").c_str(), nullptr, MS_BIND, nullptr), 0);
    c.mounts.push_back(c.at("covered.bin"));
    ASSERT_EQ(FileStatus::of(c.at("inside/mnt/big.bin"))->device, scope.device()) << "same file system";

    EXPECT_EQ(removal(c.at("inside/mnt/big.bin"), reviewedStamp(c.at("inside/mnt/big.bin")), scope),
              "Parent folder changed.");
    EXPECT_EQ(removal(c.at("covered.bin"), reviewedStamp(c.at("covered.bin")), scope), "File changed since scan.");
    EXPECT_TRUE(Files::exists(outside.at("folder/big.bin")));
    EXPECT_TRUE(Files::exists(outside.at("single.bin")));

    // A bind mount that appears on the way after the check of its folder is refused as well.
    Files::make(c.at("later/x.bin"), 300);
    Files::make(outside.at("other/x.bin"), 300);
    const auto stamp = reviewedStamp(c.at("later/x.bin"));
    AtPoint at("removal.parentOpened", [&] {
        ASSERT_EQ(mount(outside.at("other").c_str(), c.at("later").c_str(), nullptr, MS_BIND, nullptr), 0);
        c.mounts.push_back(c.at("later"));
    });
    EXPECT_EQ(removal(c.at("later/x.bin"), stamp, scope), "") << "the folder opened before the mount is the reviewed one";
    EXPECT_TRUE(Files::exists(outside.at("other/x.bin")));
    EXPECT_EQ(removal(c.at("later/x.bin"), reviewedStamp(c.at("later/x.bin")), scope), "Parent folder changed.");
    EXPECT_TRUE(Files::exists(outside.at("other/x.bin")));
}

TEST(ReportRace, ReportsFolderSwappedForALinkNeverSendsAReportOutside)
{
    Case c;
    const DiskScope scope = scopeOf(c);
    Files::makeFolder(c.reports());
    Files::makeFolder(c.base + "/outside");
    const auto swap = [&] {
        std::filesystem::rename(c.reports(), c.base + "/moved-reports");
        std::filesystem::create_directory_symlink(c.base + "/outside", c.reports());
    };
    {
        AtPoint at("report.checked", swap);
        EXPECT_THROW(Worker::report(scope, "Disk scan"), PosixError);
    }
    EXPECT_EQ(files(c.base + "/outside"), std::set<std::string>());

    std::filesystem::remove(c.reports());
    std::filesystem::rename(c.base + "/moved-reports", c.reports());
    {
        AtPoint at("report.opened", swap);
        const ReportFile file = Worker::report(scope, "Disk scan");
        Output::writeNewFile(file.folder.get(), file.name, "text");
    }
    EXPECT_EQ(files(c.base + "/outside"), std::set<std::string>());
    EXPECT_EQ(files(c.base + "/moved-reports").size(), 1u) << "written into the folder that was checked";
}

TEST(ReportRace, DeletionLogNeverFollowsAReportsFolderSwappedForALink)
{
    Case c;
    Files::make(c.at("keep.bin"), 100);
    const json scan = scanned(c);
    const std::string report = scan.at("report");
    const std::string log = Files::read(report);
    const std::string name = std::filesystem::path(report).filename().string();
    Files::write(c.base + "/outside/" + name, log);
    const json request = {{"report", report}, {"rows", json::array({*rowOf(scan, c.at("keep.bin"))})}};
    AtPoint at("report.checked", [&] {
        std::filesystem::rename(c.reports(), c.base + "/moved-reports");
        std::filesystem::create_directory_symlink(c.base + "/outside", c.reports());
    });
    try {
        Worker::remove(scopeOf(c), request.dump());
        ADD_FAILURE() << "the deletion went ahead";
    } catch (const Problem& problem) {
        EXPECT_EQ(problem.description(), "Cannot open scan report.");
    }
    EXPECT_TRUE(at.ran());
    EXPECT_EQ(Files::read(c.base + "/outside/" + name), log);
    EXPECT_EQ(Files::read(c.base + "/moved-reports/" + name), log);
    EXPECT_TRUE(Files::exists(c.at("keep.bin")));
}
