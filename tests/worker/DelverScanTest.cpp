// Black-box tests of delver's "scan" operation on temporary trees.

#include "DelverHarness.h"

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

using namespace harness;

extern char** environ;

namespace {

const std::vector<std::string> allLabels
    = {"All files", "Video & audio", "Selectable: All files", "Selectable: Video & audio"};
const std::vector<std::string> plainLabels = {"All files", "Selectable: All files"};
const std::vector<std::string> protectedLabels = {"All files", "Video & audio"};

struct Listed {
    int64_t size;
    std::string path;
    std::string policy;
};

// The exact report text expected for this scope root and these groups.
std::string expectedReport(const Case& c, const json& result, const std::vector<std::vector<Listed>>& groups)
{
    const json& usage = result.at("usage");
    std::string text = "tallyroom • root • " + c.root + "\n" + std::to_string(result.at("count").get<int64_t>())
                       + " readable files; " + std::to_string(result.at("errors").get<int64_t>()) + " skipped.\n"
                       + "Capacity / used / available (bytes): " + std::to_string(usage.at("capacity").get<uint64_t>())
                       + " / " + std::to_string(usage.at("used").get<uint64_t>()) + " / "
                       + std::to_string(usage.at("free").get<uint64_t>());
    for (size_t index = 0; index < allLabels.size(); ++index) {
        text += "\n\n" + allLabels[index];
        for (const Listed& entry : groups[index])
            text += "\n" + std::to_string(entry.size) + " bytes  " + entry.path + "  [" + entry.policy + "]";
    }
    return text;
}

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%SZ", &utc);
    return text;
}

void expectTick(const json& tick)
{
    ASSERT_TRUE(tick.is_object());
    EXPECT_EQ(tick.size(), 5u) << tick;
    EXPECT_TRUE(tick.at("folder").is_string());
    for (const char* key : {"entries", "files", "errors", "percent"})
        EXPECT_TRUE(tick.at(key).is_number_integer()) << key;
    EXPECT_GE(tick.at("percent").get<int64_t>(), 0);
    EXPECT_LE(tick.at("percent").get<int64_t>(), 99);
    EXPECT_LE(tick.at("files").get<int64_t>(), tick.at("entries").get<int64_t>());
}

}

TEST(DelverScan, TwentyFiveFilesKeepTheTenLargestAndTheReportListsEveryGroup)
{
    Case c;
    std::vector<Listed> largest;
    for (int i = 1; i <= 25; ++i) {
        const std::string path = c.at("dir" + std::to_string(i % 3) + "/f" + std::to_string(100 + i) + ".dat");
        Files::make(path, size_t(i) * 1000 + size_t(i));
        if (i > 15)
            largest.insert(largest.begin(), {i * 1000 + i, path, "normal"});
    }
    const std::string before = utcNow();
    const json result = scanned(c);
    const std::string after = utcNow();

    EXPECT_EQ(result.at("count"), 25);
    EXPECT_EQ(result.at("errors"), 0);
    ASSERT_EQ(result.at("rows").size(), 10u);
    for (const Listed& entry : largest) {
        SCOPED_TRACE(entry.path);
        const json* row = rowOf(result, entry.path);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->size(), 7u);
        EXPECT_EQ(row->at("path"), entry.path);
        EXPECT_EQ(row->at("bytes"), entry.size);
        EXPECT_EQ(row->at("signature").get<std::vector<std::string>>(), stampOf(entry.path));
        EXPECT_EQ(row->at("allowed"), true);
        EXPECT_EQ(row->at("unlockable"), false);
        EXPECT_EQ(row->at("groups").get<std::vector<std::string>>(), plainLabels);
    }
    const json& usage = result.at("usage");
    EXPECT_GT(usage.at("capacity").get<uint64_t>(), 0u);
    EXPECT_LE(usage.at("used").get<uint64_t>(), usage.at("capacity").get<uint64_t>());
    EXPECT_LE(usage.at("free").get<uint64_t>(), usage.at("capacity").get<uint64_t>());

    // The report: a new file in the reports folder (made 0700), named by time and UUID.
    const std::string report = result.at("report");
    EXPECT_EQ(std::filesystem::path(report).parent_path().string(), c.reports());
    const std::string name = std::filesystem::path(report).filename().string();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(name, match,
                                 std::regex("Disk scan (\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\dZ) "
                                            "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\.txt")))
        << name;
    EXPECT_GE(match[1].str(), before);
    EXPECT_LE(match[1].str(), after);
    struct stat st {};
    ASSERT_EQ(stat(c.reports().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(Files::read(report), expectedReport(c, result, {largest, {}, largest, {}}));
}

TEST(DelverScan, EqualSizesRankByPathAndTheSmallerPathWinsTheTenthPlace)
{
    Case c;
    std::vector<Listed> expected = {{3000, c.at("eq-1.bin"), "normal"}, {3000, c.at("eq-2.bin"), "normal"}};
    Files::make(c.at("eq-2.bin"), 3000);
    Files::make(c.at("eq-1.bin"), 3000);
    for (int i = 6; i >= 0; --i) {
        Files::make(c.at("big-" + std::to_string(i) + ".bin"), 2000 + size_t(i) * 100);
        expected.push_back({2000 + i * 100, c.at("big-" + std::to_string(i) + ".bin"), "normal"});
    }
    Files::make(c.at("tie-b.bin"), 500);
    Files::make(c.at("sub/tie-z.bin"), 500);
    Files::make(c.at("tie-a.bin"), 500);
    Files::make(c.at("small.bin"), 100);
    expected.push_back({500, c.at("sub/tie-z.bin"), "normal"});

    const json result = scanned(c);
    EXPECT_EQ(result.at("count"), 13);
    EXPECT_EQ(result.at("rows").size(), 10u);
    EXPECT_NE(rowOf(result, c.at("sub/tie-z.bin")), nullptr) << "\"sub/\" sorts before \"tie-\"";
    EXPECT_EQ(rowOf(result, c.at("tie-a.bin")), nullptr);
    EXPECT_EQ(rowOf(result, c.at("tie-b.bin")), nullptr);
    EXPECT_EQ(rowOf(result, c.at("small.bin")), nullptr);
    EXPECT_EQ(Files::read(result.at("report")), expectedReport(c, result, {expected, {}, expected, {}}));
}

TEST(DelverScan, MediaFilesAreKnownByTheirLastExtensionInAnyCase)
{
    Case c;
    Files::make(c.at("CLIP.MOV"), 900);
    Files::make(c.at("clip.mov.txt"), 800);
    Files::make(c.at("song.Flac"), 700);
    Files::make(c.at("voice.m4a"), 600);
    Files::make(c.at("mov"), 500);
    Files::make(c.at("archive.mp3.zip"), 400);
    Files::make(c.at("x.MP4"), 300);
    Files::make(c.at("tape.mpeg"), 200);
    const json result = scanned(c);
    for (const char* media : {"CLIP.MOV", "song.Flac", "voice.m4a", "x.MP4", "tape.mpeg"})
        EXPECT_EQ(groupsOf(result, c.at(media)), allLabels) << media;
    for (const char* other : {"clip.mov.txt", "mov", "archive.mp3.zip"})
        EXPECT_EQ(groupsOf(result, c.at(other)), plainLabels) << other;

    // Every extension of the list, in batches that fit a group, beside near misses.
    const std::vector<std::string> media = {
        "mp4", "m4v", "mov", "mkv", "avi", "webm", "mpg", "mpeg", "ts", "mts", "m2ts", "vob", "wmv", "flv", "3gp",
        "3g2", "ogv", "mxf", "dv", "hevc", "m2v", "m4a", "m4b", "m4p", "mp3", "wav", "wave", "aif", "aiff", "aifc",
        "flac", "alac", "aac", "ogg", "oga", "opus", "wma", "caf", "amr", "ac3", "dts", "au", "snd", "mid", "midi",
        "mka", "mp2", "ape", "wv"};
    const auto upper = [](std::string text) {
        for (char& ch : text)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return text;
    };
    for (size_t start = 0; start < media.size(); start += 10) {
        Case batch;
        std::vector<std::string> names;
        for (size_t i = start; i < std::min(media.size(), start + 10); ++i)
            names.push_back(batch.at("f." + (i % 2 ? upper(media[i]) : media[i])));
        for (const std::string& name : names)
            Files::make(name, 1000);
        const json found = scanned(batch, true);
        for (const std::string& name : names)
            EXPECT_EQ(groupsOf(found, name), allLabels) << name;
    }
    Case misses;
    for (const char* miss : {"mp5", "movx", "m4", "tsx", "jpg", "wavs", "midii", "mov.", "MOV~"})
        Files::make(misses.at(std::string("g.") + miss), 10);
    const json missed = scanned(misses, true);
    EXPECT_EQ(missed.at("rows").size(), 9u);
    for (const json& row : missed.at("rows"))
        EXPECT_EQ(row.at("groups").get<std::vector<std::string>>(), plainLabels) << row.at("raw");
}

TEST(DelverScan, ProtectedFilesRankOnlyInTheGroupsThatAreNotSelectable)
{
    Case c;
    const std::vector<std::string> guarded = {".hidden/big.mov", "Library/lib.mp4", "Tool.app/inner.mov",
                                              "Applications/a.mkv", "immutable.mov", "theirs.mov", "sealed/in.mov"};
    for (size_t i = 0; i < guarded.size(); ++i)
        Files::make(c.at(guarded[i]), 9000 - i * 100);
    Files::make(c.at("ok.mov"), 100);
    shell("chattr +i " + shellQuoted(c.at("immutable.mov")));
    shell("chown nobody " + shellQuoted(c.at("theirs.mov")));
    shell("chattr +i " + shellQuoted(c.at("sealed")));

    const json result = scanned(c);
    std::vector<Listed> all;
    for (size_t i = 0; i < guarded.size(); ++i) {
        SCOPED_TRACE(guarded[i]);
        const json* row = rowOf(result, c.at(guarded[i]));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->at("groups").get<std::vector<std::string>>(), protectedLabels);
        EXPECT_EQ(row->at("allowed"), false);
        EXPECT_EQ(row->at("unlockable"), false);
        all.push_back({int64_t(9000 - i * 100), c.at(guarded[i]), "protected"});
    }
    EXPECT_EQ(groupsOf(result, c.at("ok.mov")), allLabels);
    all.push_back({100, c.at("ok.mov"), "normal"});
    const std::vector<Listed> selectable = {all.back()};
    EXPECT_EQ(Files::read(result.at("report")), expectedReport(c, result, {all, all, selectable, selectable}));
}

TEST(DelverScan, ChallengeFilesAreSingleLinkFilesInHomeCachesOrOutsideHome)
{
    Case data;
    Case caches(TestHome::path() + "/Library/Caches");
    caches.data = data.data;
    Files::make(caches.at("cached.bin"), 300);
    Files::make(caches.at("linked.bin"), 200);
    std::filesystem::create_hard_link(caches.at("linked.bin"), caches.at("linked-too.bin"));
    const json result = scanned(caches);
    const json* cached = rowOf(result, caches.at("cached.bin"));
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(cached->at("allowed"), false);
    EXPECT_EQ(cached->at("unlockable"), true);
    EXPECT_EQ(cached->at("groups").get<std::vector<std::string>>(), plainLabels);
    for (const char* name : {"linked.bin", "linked-too.bin"}) {
        const json* linked = rowOf(result, caches.at(name));
        ASSERT_NE(linked, nullptr) << name;
        EXPECT_EQ(linked->at("unlockable"), false);
        EXPECT_EQ(linked->at("groups").get<std::vector<std::string>>(), std::vector<std::string> {"All files"});
    }

    Case outside("/tmp");
    outside.data = data.data;
    Files::make(outside.at("elsewhere.wav"), 50);
    const json other = scanned(outside);
    const json* row = rowOf(other, outside.at("elsewhere.wav"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->at("allowed"), false);
    EXPECT_EQ(row->at("unlockable"), true);
    EXPECT_EQ(row->at("groups").get<std::vector<std::string>>(), allLabels);
}

TEST(DelverScan, ReadOnlyModeWritesNoReportAndRanksTheSame)
{
    Case c;
    Files::make(c.at("a/one.mp3"), 4000);
    Files::make(c.at("b/two.txt"), 3000);
    Files::make(c.at(".cache/three.bin"), 2000);
    const json readOnly = scanned(c, true);
    EXPECT_EQ(readOnly.at("report"), "");
    EXPECT_FALSE(Files::exists(c.reports())) << "Read-Only Mode never touches the data folder";
    const json active = scanned(c);
    EXPECT_NE(active.at("report"), "");
    EXPECT_EQ(files(c.reports()).size(), 1u);
    const auto sorted = [](json rows) {
        std::sort(rows.begin(), rows.end(), [](const json& a, const json& b) { return a.at("raw") < b.at("raw"); });
        return rows;
    };
    EXPECT_EQ(sorted(readOnly.at("rows")), sorted(active.at("rows")));
    EXPECT_EQ(readOnly.at("rows").size(), 3u);
    EXPECT_EQ(readOnly.at("count"), active.at("count"));
}

TEST(DelverScan, EmptyFolderGivesNoRowsNoProgressAndOnlyHeadersInTheReport)
{
    Case c;
    const WorkerRun scan = run("scan", c.scope());
    const json result = succeeded(scan);
    EXPECT_EQ(scan.out.find('\n'), std::string::npos) << "no entry, no progress line";
    EXPECT_EQ(result.at("rows"), json::array());
    EXPECT_EQ(result.at("count"), 0);
    EXPECT_EQ(result.at("errors"), 0);
    EXPECT_EQ(Files::read(result.at("report")), expectedReport(c, result, {{}, {}, {}, {}}));
}

TEST(DelverScan, ProgressLinesEndInALineFeedAndTheResultDoesNot)
{
    Case small;
    Files::make(small.at("a/one.bin"), 1);
    Files::make(small.at("a/two.bin"), 2);
    Files::make(small.at("b/three.bin"), 3);
    const WorkerRun few = run("scan", small.scope());
    ASSERT_EQ(few.status, 0) << few.err;
    const std::vector<std::string> lines = progressLines(few.out);
    ASSERT_EQ(lines.size(), 1u) << "fewer than 128 entries write exactly one line: " << few.out;
    const json tick = json::parse(lines[0]);
    expectTick(tick);
    EXPECT_EQ(tick.at("entries"), 1);
    EXPECT_EQ(tick.at("errors"), 0);
    EXPECT_EQ(tick.at("folder"), small.root);
    EXPECT_EQ(json::parse(resultText(few.out)).at("count"), 3);

    Case large;
    for (int folder = 0; folder < 30; ++folder)
        for (int file = 0; file < 100; ++file)
            Files::make(large.at("d" + std::to_string(folder) + "/f" + std::to_string(file)), 1);
    const WorkerRun many = run("scan", large.scope());
    ASSERT_EQ(many.status, 0) << many.err;
    ASSERT_NE(many.out.back(), '\n');
    int64_t entries = 0;
    for (const std::string& line : progressLines(many.out)) {
        const json progress = json::parse(line);
        expectTick(progress);
        EXPECT_GT(progress.at("entries").get<int64_t>(), entries);
        entries = progress.at("entries");
        EXPECT_TRUE(entries == 1 || entries % 128 == 0) << entries;
    }
    EXPECT_EQ(json::parse(resultText(many.out)).at("count"), 3000);
}

TEST(DelverScan, PercentStaysBelowOneHundredWhenTheVolumeReportsNoFileNodes)
{
    Case c;
    if (mount("ramfs", c.root.c_str(), "ramfs", 0, nullptr) != 0)
        GTEST_SKIP() << "cannot mount ramfs here";
    c.mounts.push_back(c.root);
    Files::make(c.at("f.bin"), 10);
    const WorkerRun scan = run("scan", c.scope());
    ASSERT_EQ(scan.status, 0) << scan.err;
    const std::vector<std::string> lines = progressLines(scan.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(json::parse(lines[0]).at("percent"), 99) << "1 entry × 100 ÷ max(0, 1) is capped";
}

TEST(DelverScan, SymbolicLinksAreCountedButNeverRankedOrFollowed)
{
    Case c;
    Case elsewhere;
    Files::make(elsewhere.at("huge.mov"), 100000);
    Files::make(elsewhere.at("folder/inner.mov"), 90000);
    Files::make(c.at("small.bin"), 10);
    std::filesystem::create_symlink(elsewhere.at("huge.mov"), c.at("link.mov"));
    std::filesystem::create_symlink(elsewhere.at("folder"), c.at("folder-link"));
    std::filesystem::create_symlink("small.bin", c.at("inside-link.bin"));
    const json result = scanned(c);
    EXPECT_EQ(result.at("count"), 1);
    EXPECT_EQ(result.at("errors"), 0);
    ASSERT_EQ(result.at("rows").size(), 1u);
    EXPECT_EQ(result.at("rows")[0].at("raw"), c.at("small.bin"));
}

TEST(DelverScan, FolderReachedTwiceIsReadOnce)
{
    Case c;
    Files::make(c.at("a/big.bin"), 5000);
    Files::makeFolder(c.at("b"));
    if (mount(c.at("a").c_str(), c.at("b").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here";
    c.mounts.push_back(c.at("b"));
    const json result = scanned(c);
    EXPECT_EQ(result.at("count"), 1);
    EXPECT_EQ(result.at("errors"), 0);
    ASSERT_EQ(result.at("rows").size(), 1u);
}

TEST(DelverScan, UnreadableFoldersAndEntriesAreCountedAsErrors)
{
    // Outside the private home, so that an ordinary user can reach the tree.
    Case c("/tmp");
    const Case home;
    c.data = home.data;
    shell("chmod 0755 " + shellQuoted(c.base));
    Files::make(c.at("open/a.bin"), 10);
    Files::make(c.at("locked/secret.bin"), 20);
    Files::make(c.at("listable/x1.bin"), 30);
    Files::make(c.at("listable/x2.bin"), 40);
    shell("chown -R nobody:nogroup " + shellQuoted(c.root));
    shell("chmod 000 " + shellQuoted(c.at("locked")) + " && chmod 0644 " + shellQuoted(c.at("listable")));
    const std::string scope = c.scope(true);

    const json asRoot = succeeded(run("scan", scope));
    EXPECT_EQ(asRoot.at("count"), 4);
    EXPECT_EQ(asRoot.at("errors"), 0);

    const WorkerRun asNobody = WorkerRun::of(
        "/usr/bin/setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", DELVER, "scan", scope});
    const json result = succeeded(asNobody);
    EXPECT_EQ(result.at("count"), 1);
    EXPECT_EQ(result.at("errors"), 3) << "one folder that cannot be opened, two entries that cannot be examined";
    ASSERT_EQ(result.at("rows").size(), 1u);
    EXPECT_EQ(result.at("rows")[0].at("raw"), c.at("open/a.bin"));
}

TEST(DelverScan, FileNamesThatAreNotUtf8KeepTheOutputValidJson)
{
    Case c;
    Files::make(c.at("bad-\xff\xfe.mov"), 5000);
    Files::make(c.at("dir-\xc3\x28/inner.bin"), 4000);
    const WorkerRun scan = run("scan", c.scope());
    ASSERT_EQ(scan.status, 0) << scan.err;
    for (const std::string& line : progressLines(scan.out))
        EXPECT_NO_THROW(json::parse(line)) << line;
    json result;
    ASSERT_NO_THROW(result = json::parse(resultText(scan.out)));
    EXPECT_EQ(result.at("count"), 2);
    ASSERT_EQ(result.at("rows").size(), 2u);
    for (const json& row : result.at("rows")) {
        const std::string raw = row.at("raw");
        EXPECT_EQ(raw.rfind(c.root + "/", 0), 0u) << raw;
        EXPECT_NE(raw.find("\xEF\xBF\xBD"), std::string::npos) << "undecodable bytes become U+FFFD";
    }
    EXPECT_TRUE(Files::exists(result.at("report")));
}

namespace {

// Removes a chain of folders named "d" with short paths only, lifting each level up to the
// chain's top, one at a time: removing it by full paths would exceed PATH_MAX.
struct DeepChain {
    std::string top, lifted;
    ~DeepChain()
    {
        while (rename((top + "/d").c_str(), lifted.c_str()) == 0 && rmdir(top.c_str()) == 0
               && rename(lifted.c_str(), top.c_str()) == 0) {
        }
    }
};

}

TEST(DelverScan, TreeTenThousandFoldersDeepDoesNotCrash)
{
    Case c;
    // In memory when possible: ten thousand folders are slow to make and remove on a busy disk.
    if (mount("tmpfs", c.root.c_str(), "tmpfs", 0, "size=64m") == 0)
        c.mounts.push_back(c.root);
    const DeepChain chain {c.at("d"), c.at("lifted")};
    Files::make(c.at("top.bin"), 50);
    int folder = open(c.root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    for (int depth = 1; depth <= 10000; ++depth) {
        ASSERT_EQ(mkdirat(folder, "d", 0755), 0);
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        ASSERT_GE(next, 0);
        folder = next;
        if (depth == 40)
            close(openat(folder, "deep.bin", O_WRONLY | O_CREAT, 0644));
    }
    close(folder);
    std::string deep = c.root;
    for (int depth = 1; depth <= 40; ++depth)
        deep += "/d";
    deep += "/deep.bin";

    const WorkerRun scan = run("scan", c.scope());
    EXPECT_EQ(scan.status, 0) << scan.err;
    json result;
    ASSERT_NO_THROW(result = json::parse(resultText(scan.out)));
    EXPECT_EQ(result.at("count"), 2);
    EXPECT_NE(rowOf(result, c.at("top.bin")), nullptr);
    EXPECT_NE(rowOf(result, deep), nullptr);
}

TEST(DelverScan, ReportsAreNeverOverwritten)
{
    Case c;
    Files::make(c.at("one.bin"), 10);
    const json first = scanned(c);
    const std::string firstText = Files::read(first.at("report"));
    Files::make(c.at("two.bin"), 20);
    const json second = scanned(c);
    EXPECT_NE(first.at("report"), second.at("report"));
    EXPECT_EQ(Files::read(first.at("report")), firstText);
    EXPECT_EQ(files(c.reports()).size(), 2u);
    EXPECT_NE(Files::read(second.at("report")).find("2 readable files; 0 skipped."), std::string::npos);
}

TEST(DelverScan, UnsuitableReportsFolderFailsTheScanWithoutAReport)
{
    Case c;
    Files::make(c.at("one.bin"), 10);
    Files::write(c.reports(), "a file where the folder belongs");
    expectFailure(run("scan", c.scope()), occupied);
    EXPECT_EQ(Files::read(c.reports()), "a file where the folder belongs");

    std::filesystem::remove(c.reports());
    Files::makeFolder(c.base + "/elsewhere");
    std::filesystem::create_directory_symlink(c.base + "/elsewhere", c.reports());
    expectFailure(run("scan", c.scope()), occupied);
    EXPECT_TRUE(files(c.base + "/elsewhere").empty());

    // A Reports folder others may write to is refused by the worker as by setup.
    std::filesystem::remove(c.reports());
    const std::string scope = c.scope();
    Files::makeFolder(c.reports());
    ASSERT_EQ(chmod(c.reports().c_str(), 0777), 0);
    expectFailure(run("scan", scope),
                  "The data folder’s Reports folder belongs to another user or others can change it. Choose a personal "
                  "folder for app data.");
    EXPECT_TRUE(files(c.reports()).empty());
    std::filesystem::remove(c.reports());
    // Read-Only Mode does not look at the data folder at all.
    EXPECT_EQ(succeeded(run("scan", c.scope(true))).at("count"), 1);
}

TEST(DelverScan, ReportThatCannotBeWrittenFailsTheScanAndLeavesNoFile)
{
    Case c;
    Files::make(c.at("one.bin"), 10);
    const WorkerRun scan = runLimited(100, "scan", c.scope());
    EXPECT_EQ(scan.status, 1);
    EXPECT_FALSE(scan.err.empty());
    EXPECT_EQ(scan.err.find('\n'), std::string::npos) << scan.err;
    EXPECT_EQ(resultText(scan.out), "") << "progress lines only";
    EXPECT_EQ(progressLines(scan.out).size(), 1u);
    EXPECT_TRUE(files(c.reports()).empty()) << "a report file exists only after a successful scan";
}

namespace {

// A worker run with its threads pinned, given as the environment variable it reads.
WorkerRun runWithThreads(unsigned threads, const std::vector<std::string>& prefix, const std::string& scope)
{
    std::vector<std::string> arguments(prefix.begin() + 1, prefix.end());
    arguments.insert(arguments.end(),
                     {"/usr/bin/env", "DELVER_SCAN_THREADS=" + std::to_string(threads), DELVER, "scan", scope});
    return WorkerRun::of(prefix.front(), arguments);
}

json sortedResult(const WorkerRun& run)
{
    json result = succeeded(run);
    std::sort(result["rows"].begin(), result["rows"].end(),
              [](const json& a, const json& b) { return a.at("raw") < b.at("raw"); });
    result.erase("usage");
    return result;
}

// A worker that runs while the test watches it: its progress lines arrive through a pipe.
class RunningWorker {
public:
    explicit RunningWorker(const std::string& scope)
    {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string program = DELVER, operation = "scan", text = scope;
        char* argv[] = {program.data(), operation.data(), text.data(), nullptr};
        if (posix_spawn(&pid, DELVER, &actions, nullptr, argv, environ) != 0)
            throw std::runtime_error("cannot start the worker");
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output = out[0];
    }
    ~RunningWorker()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(output);
    }

    // Reads until the first progress line is complete: the walk is under way.
    void waitForFirstLine()
    {
        char byte;
        while (text.find('\n') == std::string::npos && read(output, &byte, 1) == 1)
            text += byte;
    }
    std::string readToEnd()
    {
        char buffer[65536];
        for (ssize_t got; (got = read(output, buffer, sizeof buffer)) > 0;)
            text.append(buffer, size_t(got));
        return text;
    }
    int wait()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return status;
    }
    // The run states of all the worker's threads, one letter each (R, S, D, T, ...).
    std::string threadStates() const
    {
        std::string states;
        std::error_code ignored;
        for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
            const std::string stat = Files::read(task.path().string() + "/stat");
            const size_t close = stat.rfind(')');
            if (close != std::string::npos && close + 2 < stat.size())
                states += stat[close + 2];
        }
        return states;
    }
    // Waits, without a deadline of its own, until every thread is in a state the test wants.
    template <typename Wanted>
    bool waitForThreads(Wanted wanted) const
    {
        for (int round = 0; round < 200000; ++round) {
            const std::string states = threadStates();
            if (!states.empty() && wanted(states))
                return true;
            sched_yield();
        }
        return false;
    }

    pid_t pid = -1;
    int output = -1;
    std::string text;
};

// A descriptor limit that leaves a child of this process exactly `free` descriptors: the
// test runner may pass on descriptors of its own beyond the standard three.
std::string descriptorLimit(int free)
{
    std::set<int> inherited;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        const int flags = fcntl(fd, F_GETFD);
        if (flags >= 0 && !(flags & FD_CLOEXEC))
            inherited.insert(fd);
    }
    inherited.insert({0, 1, 2});
    int limit = 0;
    for (int left = free; left > 0; ++limit)
        left -= !inherited.count(limit);
    return "--nofile=" + std::to_string(limit);
}

void makeManyFiles(const Case& c, int folders, int filesEach)
{
    for (int folder = 0; folder < folders; ++folder) {
        const std::string path = c.at("d" + std::to_string(folder));
        Files::makeFolder(path);
        for (int file = 0; file < filesEach; ++file)
            close(open((path + "/f" + std::to_string(file)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
}

}

TEST(DelverScan, EveryThreadCountGivesTheSameResultAlsoWithUnreadableFolders)
{
    Case c("/tmp");
    const Case home;
    c.data = home.data;
    shell("chmod 0755 " + shellQuoted(c.base));
    for (int i = 0; i < 30; ++i) {
        Files::make(c.at("open/o" + std::to_string(i) + "/a.bin"), size_t(100 + i));
        Files::make(c.at("locked/l" + std::to_string(i) + "/b.bin"), size_t(200 + i));
        Files::make(c.at("listable/x" + std::to_string(i) + ".bin"), size_t(300 + i));
    }
    Files::make(c.at("open/\xff-odd/c.mov"), 1000);
    shell("chown -R nobody:nogroup " + shellQuoted(c.root));
    shell("chmod 000 " + shellQuoted(c.at("locked")) + " && chmod 0644 " + shellQuoted(c.at("listable")));
    const std::string scope = c.scope(true);
    const std::vector<std::string> asNobody = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    const json one = sortedResult(runWithThreads(1, asNobody, scope));
    EXPECT_EQ(one.at("errors"), 31) << "the locked folder and the thirty entries of the folder that can only be listed";
    EXPECT_EQ(one.at("count"), 31);
    for (unsigned threads : {2u, 8u, 16u})
        EXPECT_EQ(sortedResult(runWithThreads(threads, asNobody, scope)), one) << threads << " threads";
    const json asRoot = sortedResult(runWithThreads(1, {"/usr/bin/env"}, scope));
    EXPECT_EQ(asRoot.at("count"), 91);
    EXPECT_EQ(sortedResult(runWithThreads(8, {"/usr/bin/env"}, scope)), asRoot);
}

TEST(DelverScan, BindMountInsideTheScopeIsNotEnteredThoughItSharesTheDevice)
{
    Case c;
    Case elsewhere;
    Files::make(elsewhere.at("huge.mov"), 100000);
    Files::make(elsewhere.at("deeper/inner.mov"), 90000);
    Files::make(c.at("own.bin"), 10);
    Files::makeFolder(c.at("window"));
    if (mount(elsewhere.root.c_str(), c.at("window").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here";
    c.mounts.push_back(c.at("window"));
    for (unsigned threads : {1u, 8u}) {
        const json result = sortedResult(runWithThreads(threads, {"/usr/bin/env"}, c.scope()));
        EXPECT_EQ(result.at("count"), 1) << threads;
        EXPECT_EQ(result.at("errors"), 0) << threads;
        ASSERT_EQ(result.at("rows").size(), 1u) << threads;
        EXPECT_EQ(result.at("rows")[0].at("raw"), c.at("own.bin"));
    }
}

TEST(DelverScan, LowDescriptorLimitGivesTheSameResultOrACountOfFoldersItCouldNotOpen)
{
    Case c;
    Files::make(c.at("top.bin"), 5);
    for (const char* branch : {"a", "b", "c"}) {
        std::string deep = c.at(branch);
        for (int level = 0; level < 30; ++level) {
            deep += "/n" + std::to_string(level);
            Files::make(deep + "/side/s.bin", size_t(level + 1));
            Files::make(deep + "/f.bin", size_t(1000 + level));
        }
    }
    const std::string scope = c.scope(true);
    const json unlimited = sortedResult(runWithThreads(8, {"/usr/bin/env"}, scope));
    EXPECT_EQ(unlimited.at("count"), 181);
    EXPECT_EQ(unlimited.at("errors"), 0);
    for (int free : {9, 3})
        EXPECT_EQ(sortedResult(runWithThreads(8, {"/usr/bin/prlimit", descriptorLimit(free)}, scope)), unlimited)
            << free << " free descriptors";

    // One free descriptor: the root is read, no subfolder can be opened.
    const json starved = sortedResult(runWithThreads(8, {"/usr/bin/prlimit", descriptorLimit(1)}, scope));
    EXPECT_EQ(starved.at("count"), 1);
    EXPECT_EQ(starved.at("errors"), 3);
}

TEST(DelverScan, PauseStopsEveryThreadResumeFinishesAndCancelEnds)
{
    Case c;
    if (mount("tmpfs", c.root.c_str(), "tmpfs", 0, "size=64m,nr_inodes=200k") == 0)
        c.mounts.push_back(c.root);
    makeManyFiles(c, 400, 250);
    const std::string scope = c.scope(true);

    RunningWorker paused(scope);
    paused.waitForFirstLine();
    ASSERT_EQ(kill(paused.pid, SIGSTOP), 0);
    const auto allStopped = [](const std::string& states) { return states.find_first_not_of('T') == std::string::npos; };
    ASSERT_TRUE(paused.waitForThreads(allStopped)) << paused.threadStates();
    ASSERT_EQ(kill(paused.pid, SIGCONT), 0);
    ASSERT_TRUE(paused.waitForThreads([&](const std::string& states) { return !allStopped(states); }));
    const std::string out = paused.readToEnd();
    const int status = paused.wait();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(json::parse(resultText(out)).at("count"), 100000);

    RunningWorker cancelled(scope);
    cancelled.waitForFirstLine();
    ASSERT_EQ(kill(cancelled.pid, SIGTERM), 0);
    const int ended = cancelled.wait();
    EXPECT_TRUE(WIFSIGNALED(ended) && WTERMSIG(ended) == SIGTERM) << ended;
}
