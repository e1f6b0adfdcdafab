#include "Files.h"
#include "OtherUser.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "app/trash/FreedesktopTrash.h"
#include "shared/DiskScope.h"
#include "shared/Problem.h"
#include "shared/TrashProblem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using FreedesktopTrash::Step;

const std::string changedText = "The item changed since review. Nothing was moved.";
const std::string protectedText = "This location is protected or no longer available.";

std::string home()
{
    return TestHome::path();
}

std::string homeTrash()
{
    return home() + "/.local/share/Trash";
}

DiskScope scopeAt(const std::string& root)
{
    return DiskScope(root, false, home() + "/Library/Application Support/tallyroom");
}

FileStatus reviewed(const std::string& path)
{
    return *FileStatus::of(path);
}

// The failure's text, or "" when the move went through.
std::string moveFailure(const std::string& path, const FileStatus& status, const DiskScope& scope,
                        const FreedesktopTrash::StepHook& hook = {})
{
    try {
        FreedesktopTrash::move(path, status, scope, hook);
        return "";
    } catch (const Problem& problem) {
        return problem.description();
    }
}

size_t entriesIn(const std::string& folder)
{
    if (!std::filesystem::exists(folder))
        return 0;
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class FreedesktopTrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(homeTrash());
        std::filesystem::remove_all(home() + "/race");
        Files::makeFolder(home() + "/race");
    }
    std::string dir = home() + "/race";
    DiskScope scope = scopeAt(home());
};

}

TEST_F(FreedesktopTrashTest, MovesTheItemAndRecordsWhereItCameFrom)
{
    const std::string file = dir + "/report final#1 é.txt";
    Files::write(file, "kept");
    ASSERT_EQ(moveFailure(file, reviewed(file), scope), "");
    EXPECT_FALSE(Files::exists(file));
    EXPECT_EQ(Files::read(homeTrash() + "/files/report final#1 é.txt"), "kept");
    const std::string info = Files::read(homeTrash() + "/info/report final#1 é.txt.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + home() + "/race/report%20final%231%20%C3%A9.txt\nDeletionDate=", 0),
              0u)
        << info;
    EXPECT_EQ(info.size(), std::string("[Trash Info]\nPath=" + home() + "/race/report%20final%231%20%C3%A9.txt\n"
                                       "DeletionDate=2026-12-10T10:00:00\n")
                               .size());
}

TEST_F(FreedesktopTrashTest, SameNamesGetNumberedAndFoldersAreMeasured)
{
    for (const char* content : {"first", "second"}) {
        Files::write(dir + "/same", content);
        ASSERT_EQ(moveFailure(dir + "/same", reviewed(dir + "/same"), scope), "");
    }
    EXPECT_EQ(Files::read(homeTrash() + "/files/same"), "first");
    EXPECT_EQ(Files::read(homeTrash() + "/files/same.2"), "second");
    EXPECT_TRUE(Files::exists(homeTrash() + "/info/same.2.trashinfo"));

    Files::make(dir + "/album x/a", 5000);
    Files::make(dir + "/album x/deep/b", 100);
    ASSERT_EQ(moveFailure(dir + "/album x", reviewed(dir + "/album x"), scope), "");
    const std::string sizes = Files::read(homeTrash() + "/directorysizes");
    const auto info = FileStatus::of(homeTrash() + "/info/album x.trashinfo");
    ASSERT_TRUE(info);
    // Two files of one block or more each, and the inner folder's own block.
    const uint64_t bytes = std::stoull(sizes);
    EXPECT_GE(bytes, 8192u);
    EXPECT_EQ(sizes.substr(sizes.find(' ')), " " + std::to_string(info->mtimeSeconds) + " album%20x\n");
}

TEST_F(FreedesktopTrashTest, ItemExchangedWithASiblingIsPutBack)
{
    Files::write(dir + "/chosen", "reviewed");
    Files::write(dir + "/sibling", "not reviewed");
    const FileStatus status = reviewed(dir + "/chosen");
    const auto exchange = [&](Step step) {
        if (step == Step::itemChecked)
            ASSERT_EQ(renameat2(AT_FDCWD, (dir + "/chosen").c_str(), AT_FDCWD, (dir + "/sibling").c_str(),
                                RENAME_EXCHANGE),
                      0);
    };
    EXPECT_EQ(moveFailure(dir + "/chosen", status, scope, exchange), changedText);
    EXPECT_EQ(Files::read(dir + "/chosen"), "not reviewed");
    EXPECT_EQ(Files::read(dir + "/sibling"), "reviewed");
    EXPECT_EQ(entriesIn(homeTrash() + "/files"), 0u);
    EXPECT_EQ(entriesIn(homeTrash() + "/info"), 0u);
}

TEST_F(FreedesktopTrashTest, ItemRenamedOverOrTouchedIsLeftAlone)
{
    Files::write(dir + "/chosen", "reviewed");
    Files::write(dir + "/other", "not reviewed");
    const FileStatus status = reviewed(dir + "/chosen");
    const auto renameOver = [&](Step step) {
        if (step == Step::itemChecked)
            std::filesystem::rename(dir + "/other", dir + "/chosen");
    };
    EXPECT_EQ(moveFailure(dir + "/chosen", status, scope, renameOver), changedText);
    EXPECT_EQ(Files::read(dir + "/chosen"), "not reviewed");
    EXPECT_EQ(entriesIn(homeTrash() + "/files"), 0u);

    // A change of status between review and move is a change too.
    Files::write(dir + "/touched", "reviewed");
    const FileStatus before = reviewed(dir + "/touched");
    chmod((dir + "/touched").c_str(), 0600);
    EXPECT_EQ(moveFailure(dir + "/touched", before, scope), changedText);
    EXPECT_TRUE(Files::exists(dir + "/touched"));
}

TEST_F(FreedesktopTrashTest, ParentSwappedForALinkIsNeverFollowed)
{
    Files::write(dir + "/folder/item", "reviewed");
    Files::write(home() + "/elsewhere/item", "outside");
    const FileStatus status = reviewed(dir + "/folder/item");
    std::filesystem::rename(dir + "/folder", dir + "/moved-away");
    std::filesystem::create_directory_symlink(home() + "/elsewhere", dir + "/folder");
    EXPECT_EQ(moveFailure(dir + "/folder/item", status, scope), protectedText);
    EXPECT_EQ(Files::read(home() + "/elsewhere/item"), "outside");

    // Once the folder is open, swapping its name for a link changes nothing: the folder that
    // was opened is the one acted on.
    std::filesystem::remove(dir + "/folder");
    std::filesystem::rename(dir + "/moved-away", dir + "/folder");
    const auto swapParent = [&](Step step) {
        if (step != Step::parentOpened)
            return;
        std::filesystem::rename(dir + "/folder", dir + "/moved-away");
        std::filesystem::create_directory_symlink(home() + "/elsewhere", dir + "/folder");
    };
    EXPECT_EQ(moveFailure(dir + "/folder/item", status, scope, swapParent), "");
    EXPECT_EQ(Files::read(home() + "/elsewhere/item"), "outside");
    EXPECT_EQ(Files::read(homeTrash() + "/files/item"), "reviewed");
    std::filesystem::remove(dir + "/folder");
    std::filesystem::remove_all(home() + "/elsewhere");
}

TEST_F(FreedesktopTrashTest, TrashSwappedForALinkIsRefused)
{
    Files::write(dir + "/item", "reviewed");
    Files::makeFolder(home() + "/decoy");
    Files::makeFolder(home() + "/.local/share");
    std::filesystem::create_directory_symlink(home() + "/decoy", homeTrash());
    const std::string failure = moveFailure(dir + "/item", reviewed(dir + "/item"), scope);
    EXPECT_NE(failure.find("The Trash cannot take this item"), std::string::npos) << failure;
    EXPECT_EQ(Files::read(dir + "/item"), "reviewed");
    EXPECT_EQ(entriesIn(home() + "/decoy"), 0u);
    std::filesystem::remove(homeTrash());
    std::filesystem::remove_all(home() + "/decoy");
}

TEST_F(FreedesktopTrashTest, AHomeTrashOthersCanWriteToIsRefused)
{
    Files::write(dir + "/item", "reviewed");
    Files::makeFolder(homeTrash() + "/files");
    Files::makeFolder(homeTrash() + "/info");
    ASSERT_EQ(chmod((homeTrash() + "/files").c_str(), 0777), 0);
    EXPECT_EQ(moveFailure(dir + "/item", reviewed(dir + "/item"), scope),
              "The Trash cannot take this item: files is not a private folder of this user.");
    ASSERT_EQ(chmod((homeTrash() + "/files").c_str(), 0700), 0);
    ASSERT_EQ(chmod(homeTrash().c_str(), 0770), 0);
    EXPECT_EQ(moveFailure(dir + "/item", reviewed(dir + "/item"), scope),
              "The Trash cannot take this item: Trash is not a private folder of this user.");
    EXPECT_EQ(Files::read(dir + "/item"), "reviewed");
    ASSERT_EQ(chmod(homeTrash().c_str(), 0700), 0);
    EXPECT_EQ(moveFailure(dir + "/item", reviewed(dir + "/item"), scope), "");
}

TEST_F(FreedesktopTrashTest, OtherMountsUseTheirOwnTrashAndBindMountsAreRefused)
{
    TempFolder volume;
    if (mount("tallyroom-test", volume.path().c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "mounting a tmpfs is not allowed here: " << std::strerror(errno);
    Files::write(volume / "sub/item", "on the volume");
    const DiskScope volumeScope = scopeAt(volume.path());
    EXPECT_EQ(moveFailure(volume / "sub/item", reviewed(volume / "sub/item"), volumeScope), "");
    const std::string trash = volume / (".Trash-" + std::to_string(getuid()));
    EXPECT_EQ(Files::read(trash + "/files/item"), "on the volume");
    EXPECT_EQ(Files::read(trash + "/info/item.trashinfo").rfind("[Trash Info]\nPath=sub/item\n", 0), 0u);

    // A bind mount inside the scope shares its device but is another mount.
    Files::write(volume / "outside/kept", "not reviewed");
    Files::makeFolder(volume / "inside");
    ASSERT_EQ(mount((volume / "outside").c_str(), (volume / "inside").c_str(), nullptr, MS_BIND, nullptr), 0);
    EXPECT_EQ(moveFailure(volume / "inside/kept", reviewed(volume / "inside/kept"), volumeScope), protectedText);
    EXPECT_EQ(Files::read(volume / "outside/kept"), "not reviewed");
    umount((volume / "inside").c_str());
    umount(volume.path().c_str());
}

TEST(FreedesktopTrashPaths, EncodesEverythingButPlainCharacters)
{
    EXPECT_EQ(FreedesktopTrash::encodedPath("/a b/c%d/é/\x01x~_-."), "/a%20b/c%25d/%C3%A9/%01x~_-.");
}

namespace {

// A volume of its own whose top anyone may write to, as a shared data disk often is, and a
// second user who shares it.
class SharedVolumeTrash : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        mate = OtherUser::make("tallyroom-mate", why);
        if (!mate)
            GTEST_SKIP() << why;
        if (mount("tallyroom-test", volume.path().c_str(), "tmpfs", 0, "size=4m,mode=0777") != 0)
            GTEST_SKIP() << "mounting a tmpfs is not allowed here: " << std::strerror(errno);
        mounted = true;
        scope = scopeAt(volume.path());
        // A folder the victim shares with the mate's group.
        Files::write(volume / "group/item", "reviewed");
        ASSERT_EQ(chown((volume / "group").c_str(), 0, mate->gid()), 0);
        ASSERT_EQ(chmod((volume / "group").c_str(), 0775), 0);
    }
    void TearDown() override
    {
        if (mounted)
            umount2(volume.path().c_str(), MNT_DETACH);
    }
    std::string trashOfUser() const { return volume / (".Trash-" + std::to_string(getuid())); }

    TempFolder volume;
    std::optional<OtherUser> mate;
    bool mounted = false;
    DiskScope scope = scopeAt(home());
};

std::string errorOf(bool ok)
{
    return ok ? "done" : std::strerror(errno);
}

}

TEST_F(SharedVolumeTrash, AFolderAnotherUserCanWriteIsNeverTheTrash)
{
    // The mate turns a group-writable folder of the victim's into her Trash on the volume.
    Files::makeFolder(volume / "ours/files");
    Files::makeFolder(volume / "ours/info");
    ASSERT_EQ(chown((volume / "ours").c_str(), 0, mate->gid()), 0);
    ASSERT_EQ(chmod((volume / "ours").c_str(), 0770), 0);
    const std::string trash = trashOfUser();
    EXPECT_EQ(mate->run([&] { return errorOf(rename((volume / "ours").c_str(), trash.c_str()) == 0); }), "done");
    const std::string failure = moveFailure(volume / "group/item", reviewed(volume / "group/item"), scope);
    EXPECT_EQ(failure, "The Trash cannot take this item: .Trash-" + std::to_string(getuid())
                           + " is not a private folder of this user.");
    EXPECT_EQ(Files::read(volume / "group/item"), "reviewed");
    EXPECT_EQ(entriesIn(trash + "/files"), 0u);

    // A folder of the victim's under an administrator's shared Trash is refused the same way,
    // and so is a shared Trash of another user's: the user's own Trash on the volume is made.
    std::filesystem::remove_all(trash);
    Files::makeFolder(volume / (".Trash/" + std::to_string(getuid())));
    ASSERT_EQ(chmod((volume / ".Trash").c_str(), 01777), 0);
    ASSERT_EQ(chmod((volume / (".Trash/" + std::to_string(getuid()))).c_str(), 0770), 0);
    EXPECT_EQ(moveFailure(volume / "group/item", reviewed(volume / "group/item"), scope), "");
    EXPECT_EQ(Files::read(trash + "/files/item"), "reviewed");
    EXPECT_EQ(entriesIn(volume / (".Trash/" + std::to_string(getuid()))), 0u);

    std::filesystem::remove_all(volume / ".Trash");
    EXPECT_EQ(mate->run([&] {
        return errorOf(mkdir((volume / ".Trash").c_str(), 0777) == 0 && chmod((volume / ".Trash").c_str(), 01777) == 0);
    }),
              "done");
    Files::write(volume / "group/second", "reviewed too");
    EXPECT_EQ(moveFailure(volume / "group/second", reviewed(volume / "group/second"), scope), "");
    EXPECT_EQ(Files::read(trash + "/files/second"), "reviewed too");
    EXPECT_FALSE(Files::exists(volume / (".Trash/" + std::to_string(getuid()))))
        << "nothing of the victim's goes into a folder the mate may take apart";
}

TEST_F(SharedVolumeTrash, TheTrashHeldOpenStaysTheOneCheckedAndARenameAwayIsWorded)
{
    // Once the Trash is checked, the mate may rename it away at the volume's top and put his own
    // in its place: the item still goes into the private one that was checked.
    const std::string trash = trashOfUser();
    const auto swapTrash = [&](Step step) {
        if (step != Step::trashOpened)
            return;
        EXPECT_EQ(mate->run([&] {
            const bool swapped = rename(trash.c_str(), (volume / "taken").c_str()) == 0
                                 && mkdir(trash.c_str(), 0777) == 0 && mkdir((trash + "/files").c_str(), 0777) == 0;
            return errorOf(swapped);
        }),
                  "done");
    };
    EXPECT_EQ(moveFailure(volume / "group/item", reviewed(volume / "group/item"), scope, swapTrash), "");
    EXPECT_EQ(Files::read(volume / "taken/files/item"), "reviewed");
    EXPECT_EQ(entriesIn(trash + "/files"), 0u);
    EXPECT_EQ(mate->run([&] { return errorOf(rename((volume / "taken/files/item").c_str(), (volume / "mine").c_str()) == 0); }),
              std::strerror(EACCES));

    // The mate renames the item away in their shared folder just before the move.
    std::filesystem::remove_all(trash);
    Files::write(volume / "group/next", "reviewed");
    const auto renameAway = [&](Step step) {
        if (step == Step::itemChecked)
            EXPECT_EQ(mate->run([&] {
                return errorOf(rename((volume / "group/next").c_str(), (volume / "group/elsewhere").c_str()) == 0);
            }),
                      "done");
    };
    EXPECT_EQ(moveFailure(volume / "group/next", reviewed(volume / "group/next"), scope, renameAway),
              "The item was moved or renamed before it reached the Trash. Nothing was moved.");
    EXPECT_EQ(Files::read(volume / "group/elsewhere"), "reviewed");
    EXPECT_EQ(entriesIn(trash + "/files"), 0u);
    EXPECT_EQ(entriesIn(trash + "/info"), 0u);
}

TEST_F(SharedVolumeTrash, AVolumeWithoutRoomForATrashAndAClosedFolderAreWorded)
{
    // The mate runs the move: the volume's top is the administrator's and closed to him.
    ASSERT_EQ(chmod(volume.path().c_str(), 0755), 0);
    Files::write(volume / "his/item", "his");
    ASSERT_EQ(chown((volume / "his").c_str(), mate->uid(), mate->gid()), 0);
    ASSERT_EQ(chown((volume / "his/item").c_str(), mate->uid(), mate->gid()), 0);
    Files::write(volume / "closed/item", "not his");
    ASSERT_EQ(chmod((volume / "closed").c_str(), 0700), 0);
    TempFolder data;
    ASSERT_EQ(chown(data.path().c_str(), mate->uid(), mate->gid()), 0);
    const auto moveAsMate = [&](const std::string& path) {
        const FileStatus status = reviewed(path);
        return mate->run([&] {
            setenv("XDG_DATA_HOME", data.path().c_str(), 1);
            const std::string failure = moveFailure(path, status, scope);
            return failure.empty() ? "moved" : failure;
        });
    };
    EXPECT_EQ(moveAsMate(volume / "his/item"), "The Trash cannot take this item: no Trash folder can be made on its volume.");
    EXPECT_EQ(Files::read(volume / "his/item"), "his");
    EXPECT_EQ(moveAsMate(volume / "closed/item"), "You may not open the folder that holds this item. Nothing was moved.");
    EXPECT_EQ(Files::read(volume / "closed/item"), "not his");
}
