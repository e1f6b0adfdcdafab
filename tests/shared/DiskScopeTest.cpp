#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "shared/DecodingError.h"
#include "shared/DiskScope.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/ScopeError.h"
#include "shared/TrashProblem.h"
#include "shared/platform/FileFlags.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string dataFolder()
{
    return TestHome::path() + "/Library/Application Support/tallyroom";
}

DiskScope scopeOf(const std::string& root, bool cloud = false)
{
    return DiskScope(root, cloud, dataFolder());
}

// A scope as it travels: decoded from the JSON an initializer-built scope would produce.
DiskScope decoded(const std::string& root, const std::string& data, std::optional<int32_t> startupDevice = {})
{
    nlohmann::json json = {{"readOnly", false}, {"root", root}, {"name", "x"}, {"cloud", false},
                           {"data", data},      {"device", 7},  {"inode", 1}};
    if (startupDevice)
        json["startupDataDevice"] = *startupDevice;
    return DiskScope::fromJson(json);
}

FileStatus onDevice(int32_t device, uint32_t flags = 0)
{
    FileStatus st;
    st.device = device;
    st.flags = flags;
    return st;
}

}

TEST(DiskScope, InitializerResolvesTheRootAndNamesIt)
{
    TempFolder tree;
    Files::makeFolder(tree / "disk/sub");
    const DiskScope scope = scopeOf(tree / "disk/sub/../sub/");
    EXPECT_EQ(scope.root(), tree / "disk/sub");
    EXPECT_EQ(scope.name(), "sub");
    EXPECT_EQ(scope.data(), dataFolder());
    EXPECT_FALSE(scope.readOnly());
    EXPECT_TRUE(scope.valid());
    EXPECT_EQ(scope.roots(), std::vector<std::string> {tree / "disk/sub"});
    EXPECT_EQ(scope.capacityPath(), tree / "disk/sub");
    EXPECT_EQ(scope.reports(), dataFolder() + "/Reports");
}

TEST(DiskScope, InitializerRefusals)
{
    TempFolder tree;
    Files::make(tree / "file");
    try {
        scopeOf(tree / "file");
        FAIL() << "a file is no scope";
    } catch (const ScopeError& error) {
        EXPECT_EQ(error.domain(), "Select an available disk or folder");
        EXPECT_EQ(error.code(), 1);
        EXPECT_EQ(error.description(),
                  "The operation couldn’t be completed. (Select an available disk or folder error 1.)");
    }
    EXPECT_THROW(scopeOf(tree / "missing"), PosixError);
    Files::makeFolder(tree / "Library/CloudStorage/Drive");
    try {
        scopeOf(tree / "Library/CloudStorage/Drive");
        FAIL() << "a provider folder needs cloud access";
    } catch (const ScopeError& error) {
        EXPECT_EQ(error.domain(), "Enable cloud access to select this location");
    }
    EXPECT_NO_THROW(scopeOf(tree / "Library/CloudStorage/Drive", true));
    EXPECT_THROW(DiskScope(tree.path(), false, "/opt/data"), TrashProblem);
}

TEST(DiskScope, ValidNoticesAReplacedRoot)
{
    TempFolder tree;
    Files::makeFolder(tree / "root");
    const DiskScope scope = scopeOf(tree / "root");
    ASSERT_TRUE(scope.valid());
    std::filesystem::rename(tree / "root", tree / "old");
    EXPECT_FALSE(scope.valid());
    Files::makeFolder(tree / "root");
    EXPECT_FALSE(scope.valid()) << "same path, another folder";
}

TEST(DiskScope, JsonRoundTripAndStrictDecoding)
{
    TempFolder tree;
    const DiskScope scope = scopeOf(tree.path());
    EXPECT_EQ(DiskScope::fromBase64(scope.toBase64()), scope);
    EXPECT_FALSE(scope.toJson().contains("startupDataDevice")) << "no startup data volume here";

    const nlohmann::json good = scope.toJson();
    for (const char* key : {"readOnly", "root", "name", "cloud", "data", "device", "inode"}) {
        nlohmann::json missing = good;
        missing.erase(key);
        EXPECT_THROW(DiskScope::fromJson(missing), DecodingError) << key;
    }
    const std::vector<std::pair<const char*, nlohmann::json>> wrongTypes = {
        {"readOnly", 0}, {"root", 5}, {"cloud", "yes"}, {"device", 1.5}, {"device", 4294967296LL},
        {"inode", -1},   {"inode", "1"}, {"startupDataDevice", "7"},
    };
    for (const auto& [key, value] : wrongTypes) {
        nlohmann::json wrong = good;
        wrong[key] = value;
        EXPECT_THROW(DiskScope::fromJson(wrong), DecodingError) << key << " = " << value;
    }
    nlohmann::json withStartup = good;
    withStartup["startupDataDevice"] = -3;
    EXPECT_EQ(DiskScope::fromJson(withStartup).startupDataDevice(), -3);
    EXPECT_THROW(DiskScope::fromJson(nlohmann::json::array()), DecodingError);
    EXPECT_THROW(DiskScope::fromBase64("not base64!"), DecodingError);
}

TEST(DiskScope, VisibleStripsTheStartupDataVolumeOnlyForTheWholeDisk)
{
    const DiskScope whole = decoded("/", "/home/u/data", 9);
    EXPECT_EQ(whole.visible("/System/Volumes/Data/Users/x"), "/Users/x");
    EXPECT_EQ(whole.visible("/System/Volumes/Data"), "/System/Volumes/Data");
    EXPECT_EQ(whole.visible("/System/Volumes/DataX/y"), "/System/Volumes/DataX/y");
    EXPECT_EQ(whole.roots(), (std::vector<std::string> {"/", "/System/Volumes/Data"}));
    EXPECT_EQ(whole.capacityPath(), "/System/Volumes/Data");
    const DiskScope withoutDataVolume = decoded("/", "/home/u/data");
    EXPECT_EQ(withoutDataVolume.roots(), std::vector<std::string> {"/"}) << "no data volume on this system";
    EXPECT_EQ(withoutDataVolume.capacityPath(), "/");
    const DiskScope folder = decoded("/home/u", "/home/u/data");
    EXPECT_EQ(folder.visible("/System/Volumes/Data/Users/x"), "/System/Volumes/Data/Users/x");
}

TEST(DiskScope, InsideAndProviderCompareWholeComponents)
{
    EXPECT_FALSE(DiskScope::inside("/Users/ab", "/Users/a"));
    EXPECT_TRUE(DiskScope::inside("/Users/a", "/Users/a"));
    EXPECT_TRUE(DiskScope::inside("/Users/a/b", "/Users/a"));
    EXPECT_TRUE(DiskScope::inside("/anything", "/"));
    EXPECT_FALSE(DiskScope::inside("/users/a", "/Users"));

    EXPECT_TRUE(DiskScope::provider("/Users/a/Library/CloudStorage/x"));
    EXPECT_TRUE(DiskScope::provider("/Users/a/Library/Mobile Documents"));
    EXPECT_FALSE(DiskScope::provider("/Users/a/Mobile Documents/x"));
    EXPECT_FALSE(DiskScope::provider("/Users/a/Library/x/CloudStorage"));
    EXPECT_FALSE(DiskScope::provider("/Users/a/library/CloudStorage"));
}

TEST(DiskScope, AllowsChecksPlaceDeviceAndCloud)
{
    const DiskScope folder = decoded("/home/u", "/home/u/data");
    EXPECT_TRUE(folder.allows("/home/u", onDevice(7)));
    EXPECT_TRUE(folder.allows("/home/u/x", onDevice(7)));
    EXPECT_FALSE(folder.allows("/home/ux", onDevice(7)));
    EXPECT_FALSE(folder.allows("/home/u/x", onDevice(8))) << "a volume mounted below the root";
    EXPECT_FALSE(folder.allows("/home/u/Library/CloudStorage/x", onDevice(7)));
    EXPECT_FALSE(folder.allows("/home/u/x", onDevice(7, FileFlags::dataless)));

    nlohmann::json cloudJson = folder.toJson();
    cloudJson["cloud"] = true;
    const DiskScope cloud = DiskScope::fromJson(cloudJson);
    EXPECT_TRUE(cloud.allows("/home/u/Library/CloudStorage/x", onDevice(7)));
    EXPECT_TRUE(cloud.allows("/home/u/x", onDevice(7, FileFlags::dataless)));

    const DiskScope whole = decoded("/", "/home/u/data", 9);
    EXPECT_TRUE(whole.allows("/System/Volumes/Data/Users/a", onDevice(9))) << "the startup data volume is the same disk";
    EXPECT_FALSE(whole.allows("/x", onDevice(10)));
    EXPECT_FALSE(decoded("/", "/home/u/data").allows("/x", onDevice(9)));
}

TEST(DiskScope, DeletableJudgesNamesAndPlaces)
{
    const DiskScope whole = decoded("/", "/Users/a/Data");
    EXPECT_FALSE(whole.deletable("/"));
    EXPECT_FALSE(whole.deletable("/Applications/x"));
    EXPECT_FALSE(whole.deletable("/System/x"));
    EXPECT_TRUE(whole.deletable("/Users/a/Movies/x.mov"));
    EXPECT_TRUE(whole.deletable("/System/Volumes/Data/Users/a/Movies/x.mov")) << "judged as the user sees it";
    EXPECT_FALSE(whole.deletable("/Users/a/.cache/x"));
    EXPECT_FALSE(whole.deletable("/Users/a/My.bundle/x"));
    EXPECT_FALSE(whole.deletable("/Users/a/Archive.PKG"));
    EXPECT_FALSE(whole.deletable("/Users/a/APPLICATIONS/y"));

    EXPECT_FALSE(whole.deletable("/Users/a/Data/Reports/scan.txt"));
    EXPECT_FALSE(whole.deletable("/Users/a/Data/Saved Views"));
    EXPECT_FALSE(whole.deletable("/Users/a/Data")) << "an ancestor of the reports folder";
    EXPECT_FALSE(whole.deletable("/Users"));
    EXPECT_TRUE(whole.deletable("/Users/a/Data/other.txt"));

    const DiskScope folder = decoded("/home/u/disk", "/home/u/data");
    EXPECT_FALSE(folder.deletable("/home/u/disk"));
    EXPECT_FALSE(folder.deletable("/home/u/diskette/x"));
    EXPECT_TRUE(folder.deletable("/home/u/disk/x"));
}

TEST(DiskScope, TheProviderVerdictCarriedFromTheFolderAgreesWithTheWholePath)
{
    // Each path's verdict built one component at a time, as a walk does.
    for (const std::string path : {"/h/a/Library/CloudStorage/x/y", "/h/Library/Mobile Documents", "/h/Mobile Documents/x",
                                   "/h/Library/x/CloudStorage", "/Library/CloudStorage", "/h/Library/Library/CloudStorage"}) {
        bool carried = false;
        std::string_view folderName;
        Paths::forEachComponent(path, [&](std::string_view name) {
            carried = DiskScope::providerChild(carried, folderName, name);
            folderName = name;
            return true;
        });
        EXPECT_EQ(carried, DiskScope::provider(path)) << path;
    }
}
