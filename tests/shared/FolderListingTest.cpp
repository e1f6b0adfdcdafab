// Listing an open folder in batches: every name once, never "." or "..", in inode order
// within a batch or in the folder's own order, and a failed read told apart from the end.

#include "Files.h"
#include "TempFolder.h"
#include "shared/platform/FolderListing.h"
#include "shared/platform/UniqueFd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <vector>

TEST(FolderListing, ListsEveryNameOnceAcrossBatchesInInodeOrderWithinEach)
{
    TempFolder t;
    // Long names, so the listing needs several reads of its buffer.
    std::set<std::string> made;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "entry " + std::to_string(i) + std::string(40, 'x');
        Files::make(t / name);
        made.insert(name);
    }
    Files::makeFolder(t / "folder");
    made.insert("folder");

    const UniqueFd fd(open(t.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    FolderListing listing(FolderListing::Order::inode);
    std::multiset<std::string> listed;
    int batches = 0;
    while (listing.next(fd.get())) {
        ++batches;
        const auto& batch = listing.batch();
        EXPECT_FALSE(batch.empty());
        EXPECT_TRUE(std::is_sorted(batch.begin(), batch.end(), [](const auto& a, const auto& b) {
            return a.inode < b.inode;
        }));
        for (const FolderListing::Entry& entry : batch)
            listed.insert(std::string(entry.view()));
    }
    EXPECT_EQ(listing.error(), 0);
    EXPECT_GT(batches, 1);
    EXPECT_EQ(listed, std::multiset<std::string>(made.begin(), made.end()));
    EXPECT_FALSE(listing.next(fd.get())) << "stays at the end";

    // In the folder's own order: what readdir gives, batch by batch.
    std::vector<std::string> streamed;
    DIR* stream = opendir(t.path().c_str());
    while (const dirent* item = readdir(stream))
        if (std::string(item->d_name) != "." && std::string(item->d_name) != "..")
            streamed.push_back(item->d_name);
    closedir(stream);
    const UniqueFd again(open(t.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    FolderListing inFolderOrder(FolderListing::Order::folder);
    std::vector<std::string> listedInOrder;
    while (inFolderOrder.next(again.get()))
        for (const FolderListing::Entry& entry : inFolderOrder.batch())
            listedInOrder.emplace_back(entry.view());
    EXPECT_EQ(listedInOrder, streamed);
}

TEST(FolderListing, TellsAFailedReadFromTheEnd)
{
    TempFolder t;
    Files::make(t / "file");
    const UniqueFd file(open((t / "file").c_str(), O_RDONLY | O_CLOEXEC));
    FolderListing listing(FolderListing::Order::folder);
    EXPECT_FALSE(listing.next(file.get()));
    EXPECT_EQ(listing.error(), ENOTDIR);

    const UniqueFd folder(open(t.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(listing.next(folder.get()));
    EXPECT_EQ(listing.batch().size(), 1u);
    EXPECT_FALSE(listing.next(folder.get()));
    EXPECT_EQ(listing.error(), 0);
}
