// Black-box tests of delver's "delete" operation: real scans, real changes to the
// files between the scan and the deletion, real removals.

#include "DelverHarness.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/FolderChain.h"

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

using namespace harness;

namespace {

json reviewed(const json& scan, const std::string& raw)
{
    const json* row = rowOf(scan, raw);
    if (!row)
        throw std::runtime_error("not ranked: " + raw);
    return *row;
}

json request(const json& scan, const json& rows, const json& approved = json::value_t::discarded)
{
    json out = {{"report", scan.at("report")}, {"rows", rows}};
    if (!approved.is_discarded())
        out["approved"] = approved;
    return out;
}

json deleted(const Case& c, const json& body)
{
    return succeeded(run("delete", c.scope(), body.dump()));
}

std::string capacityLine(const json& info)
{
    return "\nAvailable bytes before: " + std::to_string(info.at("before").at("free").get<uint64_t>())
           + " • after: " + std::to_string(info.at("after").at("free").get<uint64_t>()) + "\n";
}

std::string logOf(const json& info)
{
    std::string text;
    for (const json& message : info.at("messages"))
        text += "\n" + message.get<std::string>();
    return text + capacityLine(info);
}

// Lets the clock move on, so that any change made now shows in a change time.
void letClockMove() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

}

TEST(DelverDelete, RequestMustBeAnObjectWithAReportStringAndAnArrayOfRows)
{
    Case c;
    Files::make(c.at("keep.bin"), 100);
    const json scan = scanned(c);
    const std::string logBefore = Files::read(scan.at("report"));
    const json row = reviewed(scan, c.at("keep.bin"));

    for (const std::string input : {"", "not json", "{\"report\":", "{'report': 1}", "   "}) {
        SCOPED_TRACE(input);
        expectOwnDescription(run("delete", c.scope(), input));
    }
    const std::vector<json> invalid = {
        json::array(),
        nullptr,
        42,
        "text",
        json::object(),
        {{"rows", json::array({row})}},
        {{"report", scan.at("report")}},
        {{"report", 1}, {"rows", json::array({row})}},
        {{"report", scan.at("report")}, {"rows", row}},
        {{"report", scan.at("report")}, {"rows", "[]"}},
        {{"report", scan.at("report")}, {"rows", json::array({row, 1})}},
        {{"report", scan.at("report")}, {"rows", json::array({row, json::array()})}},
    };
    for (const json& body : invalid) {
        SCOPED_TRACE(body.dump());
        expectFailure(run("delete", c.scope(), body.dump()), "Invalid request.");
    }
    EXPECT_TRUE(Files::exists(c.at("keep.bin")));
    EXPECT_EQ(Files::read(scan.at("report")), logBefore);
}

TEST(DelverDelete, ReportMustBeThisScopesOwnScanReport)
{
    Case c;
    Files::make(c.at("keep.bin"), 100);
    const json scan = scanned(c);
    const std::string report = scan.at("report");
    const std::string logBefore = Files::read(report);
    const std::string name = std::filesystem::path(report).filename().string();
    const json rows = json::array({reviewed(scan, c.at("keep.bin"))});
    const auto copy = [&](const std::string& to) {
        Files::write(to, logBefore);
        return to;
    };
    const auto attempt = [&](const std::string& path, const std::string& text) {
        SCOPED_TRACE(path);
        expectFailure(run("delete", c.scope(), json {{"report", path}, {"rows", rows}}.dump()), text);
    };

    attempt(copy(c.base + "/other/Reports/" + name), "Scan report unavailable.");
    attempt(copy(c.reports() + "/sub/" + name), "Scan report unavailable.");
    attempt(c.reports() + "/Disk scan missing.txt", "Scan report unavailable.");
    std::filesystem::create_symlink(report, c.reports() + "/Disk scan link.txt");
    attempt(c.reports() + "/Disk scan link.txt", "Scan report unavailable.");
    Files::makeFolder(c.reports() + "/Disk scan folder.txt");
    attempt(c.reports() + "/Disk scan folder.txt", "Scan report unavailable.");

    attempt(copy(c.reports() + "/Volume verification 2024-05-01T12-34-56Z X.txt"), "Invalid scan report.");
    attempt(copy(c.reports() + "/Disk scan other.log"), "Invalid scan report.");
    attempt(copy(c.reports() + "/disk scan lower.txt"), "Invalid scan report.");
    std::filesystem::create_hard_link(copy(c.reports() + "/Disk scan linked.txt"), c.base + "/second-name.txt");
    attempt(c.reports() + "/Disk scan linked.txt", "Invalid scan report.");
    shell("chown nobody " + shellQuoted(copy(c.reports() + "/Disk scan theirs.txt")));
    attempt(c.reports() + "/Disk scan theirs.txt", "Invalid scan report.");

    shell("chattr +i " + shellQuoted(copy(c.reports() + "/Disk scan locked.txt")));
    attempt(c.reports() + "/Disk scan locked.txt", "Cannot open scan report.");

    // The reports folder itself swapped for a link to a folder holding the same report.
    std::filesystem::rename(c.reports(), c.base + "/real-reports");
    std::filesystem::create_directory_symlink(c.base + "/real-reports", c.reports());
    attempt(report, occupied);

    // A data folder that setup would refuse, holding a well-formed report.
    Case library(TestHome::path() + "/Library");
    json scope = c.scopeJson();
    scope["data"] = library.data;
    const std::string misplaced = copy(library.data + "/Reports/" + name);
    expectFailure(run("delete", encode(scope), json {{"report", misplaced}, {"rows", rows}}.dump()),
                  placementRefused);

    EXPECT_TRUE(Files::exists(c.at("keep.bin"))) << "no refused request removes anything";
    // The report's folder is compared in standardized form.
    std::filesystem::remove(c.reports());
    std::filesystem::rename(c.base + "/real-reports", c.reports());
    const json info = succeeded(run("delete", c.scope(),
                                    json {{"report", c.data + "/./Reports/" + name}, {"rows", rows}}.dump()));
    EXPECT_EQ(info.at("deleted"), 1);
    EXPECT_EQ(Files::read(report), logBefore + logOf(info));
    EXPECT_EQ(Files::read(misplaced), logBefore);
}

TEST(DelverDelete, FilesChangedSinceTheScanAreSkippedAndTheOthersRemoved)
{
    Case c;
    for (const char* name : {"replaced.bin", "touched.bin", "grown.bin", "linked.bin", "intact.bin", "sub/moved.bin"})
        Files::make(c.at(name), 1000);
    const json scan = scanned(c);
    letClockMove();

    // Replaced by another file of the same size and modification time.
    struct stat old {};
    ASSERT_EQ(lstat(c.at("replaced.bin").c_str(), &old), 0);
    Files::make(c.at("replacement.tmp"), 1000);
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, c.at("replacement.tmp").c_str(), times, 0), 0);
    std::filesystem::rename(c.at("replacement.tmp"), c.at("replaced.bin"));
    // Touched to another modification time; grown by one byte; given a second name.
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, c.at("touched.bin").c_str(), past, 0), 0);
    Files::make(c.at("grown.bin"), 1001);
    std::filesystem::create_hard_link(c.at("linked.bin"), c.at("second-name.bin"));
    // The parent folder swapped for a symbolic link to the same folder under another name.
    std::filesystem::rename(c.at("sub"), c.at("sub-real"));
    std::filesystem::create_directory_symlink(c.at("sub-real"), c.at("sub"));

    json rows = json::array();
    for (const char* name : {"replaced.bin", "touched.bin", "grown.bin", "linked.bin", "intact.bin", "sub/moved.bin"})
        rows.push_back(reviewed(scan, c.at(name)));
    const json info = deleted(c, request(scan, rows));
    const std::string changed = " — File changed since scan.";
    EXPECT_EQ(info.at("messages"), json::array({
                                       "Skipped: " + c.at("replaced.bin") + changed,
                                       "Skipped: " + c.at("touched.bin") + changed,
                                       "Skipped: " + c.at("grown.bin") + changed,
                                       "Skipped: " + c.at("linked.bin") + changed,
                                       "Deleted: " + c.at("intact.bin"),
                                       "Skipped: " + c.at("sub/moved.bin") + " — Parent folder changed.",
                                   }));
    EXPECT_EQ(info.at("removed"), json::array({c.at("intact.bin")}));
    EXPECT_EQ(info.at("deleted"), 1);
    for (const char* kept : {"replaced.bin", "touched.bin", "grown.bin", "linked.bin", "second-name.bin",
                             "sub-real/moved.bin"})
        EXPECT_TRUE(Files::exists(c.at(kept))) << kept;
    EXPECT_FALSE(Files::exists(c.at("intact.bin")));
}

TEST(DelverDelete, AFileDeeperThanThePathLimitIsRankedAndDeletedLikeAnyOther)
{
    Case c;
    const std::string relative = Files::makeDeep(c.root, std::string(200, 'n'), 25, "deep.bin", 5000);
    const std::string deep = c.at(relative + "/deep.bin");
    ASSERT_GE(deep.size(), 5000u);
    Files::make(c.at("near.bin"), 100);
    const json scan = scanned(c);
    const json row = reviewed(scan, deep);
    EXPECT_EQ(row.at("path"), deep);
    EXPECT_TRUE(row.at("allowed").get<bool>()) << "judged on its folder, not refused for its path's length";

    const json info = deleted(c, request(scan, json::array({row})));
    EXPECT_EQ(info.at("messages"), json::array({"Deleted: " + deep}));
    EXPECT_EQ(info.at("removed"), json::array({deep}));
    const UniqueFd top(open(c.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const UniqueFd bottom = FolderChain::open(top.get(), relative);
    ASSERT_TRUE(bottom);
    EXPECT_FALSE(FileStatus::at(bottom.get(), "deep.bin")) << "gone from its folder";
    Files::removeDeep(c.at(relative.substr(0, 200)));
}

TEST(DelverDelete, ChallengeFilesGoOnlyWithApprovalAndProtectedFilesNever)
{
    Case c;
    Case caches(TestHome::path() + "/Library/Caches");
    caches.data = c.data;
    for (const char* name : {"approved.bin", "unapproved.bin", "oddly.bin", "stringly.bin"})
        Files::make(caches.at(name), 100);
    const json cached = scanned(caches);
    const auto row = [&](const char* name) { return reviewed(cached, caches.at(name)); };
    const std::string refused = " — File is protected or requires authentication.";

    const json info = succeeded(run(
        "delete", caches.scope(),
        request(cached, json::array({row("approved.bin"), row("unapproved.bin")}),
                json::array({caches.at("approved.bin"), "/elsewhere"}))
            .dump()));
    EXPECT_EQ(info.at("messages"), json::array({"Deleted: " + caches.at("approved.bin"),
                                                "Skipped: " + caches.at("unapproved.bin") + refused}));
    // "approved" that is not an array of strings counts as empty.
    const json odd = succeeded(run(
        "delete", caches.scope(),
        request(cached, json::array({row("oddly.bin")}), json::array({caches.at("oddly.bin"), 1})).dump()));
    EXPECT_EQ(odd.at("messages"), json::array({"Skipped: " + caches.at("oddly.bin") + refused}));
    const json stringly = succeeded(run(
        "delete", caches.scope(), request(cached, json::array({row("stringly.bin")}), caches.at("stringly.bin")).dump()));
    EXPECT_EQ(stringly.at("deleted"), 0);
    EXPECT_FALSE(Files::exists(caches.at("approved.bin")));
    for (const char* name : {"unapproved.bin", "oddly.bin", "stringly.bin"})
        EXPECT_TRUE(Files::exists(caches.at(name))) << name;

    // Normal files go with or without approval; protected ones never, even when approved.
    for (const char* name : {"plain.bin", "listed.bin", ".hidden/secret.bin", "locked.bin", "Library/kept.bin"})
        Files::make(c.at(name), 200);
    shell("chattr +i " + shellQuoted(c.at("locked.bin")));
    const json scan = scanned(c);
    json rows = json::array();
    json approved = json::array();
    for (const char* name : {"plain.bin", "listed.bin", ".hidden/secret.bin", "locked.bin", "Library/kept.bin"})
        rows.push_back(reviewed(scan, c.at(name)));
    for (const char* name : {"listed.bin", ".hidden/secret.bin", "locked.bin", "Library/kept.bin"})
        approved.push_back(c.at(name));
    const json mixed = deleted(c, request(scan, rows, approved));
    EXPECT_EQ(mixed.at("messages"), json::array({
                                        "Deleted: " + c.at("plain.bin"),
                                        "Deleted: " + c.at("listed.bin"),
                                        "Skipped: " + c.at(".hidden/secret.bin") + refused,
                                        "Skipped: " + c.at("locked.bin") + refused,
                                        "Skipped: " + c.at("Library/kept.bin") + refused,
                                    }));
    for (const char* name : {".hidden/secret.bin", "locked.bin", "Library/kept.bin"})
        EXPECT_TRUE(Files::exists(c.at(name))) << name;

    // Outside the home folder, a single-link file of the user's is a challenge file too.
    Case outside("/tmp");
    outside.data = c.data;
    Files::make(outside.at("far.bin"), 300);
    const json far = scanned(outside);
    const json farRows = json::array({reviewed(far, outside.at("far.bin"))});
    const json without = succeeded(run("delete", outside.scope(), request(far, farRows).dump()));
    EXPECT_EQ(without.at("messages"), json::array({"Skipped: " + outside.at("far.bin") + refused}));
    const json with = succeeded(run("delete", outside.scope(), request(far, farRows, json::array({outside.at("far.bin")})).dump()));
    EXPECT_EQ(with.at("removed"), json::array({outside.at("far.bin")}));
    EXPECT_FALSE(Files::exists(outside.at("far.bin")));
}

TEST(DelverDelete, MessagesAndReportLinesFollowTheRequestOrder)
{
    Case c;
    for (const char* name : {"a.bin", "b.bin", "append/c.bin", "keep.bin"})
        Files::make(c.at(name), 300);
    Case other;
    Files::make(other.at("foreign.bin"), 300);
    const json foreign = reviewed(scanned(other), other.at("foreign.bin"));
    const json scan = scanned(c);
    const std::string logBefore = Files::read(scan.at("report"));
    const json a = reviewed(scan, c.at("a.bin"));
    const json b = reviewed(scan, c.at("b.bin"));
    const json signature = a.at("signature");
    shell("chattr +a " + shellQuoted(c.at("append")));

    const json rows = json::array({
        b,
        {{"raw", c.at("a.bin")}},
        {{"raw", c.at("missing.bin")}, {"signature", signature}},
        {{"raw", 7}, {"signature", signature}},
        {{"signature", signature}},
        {{"raw", c.at("a.bin")}, {"signature", {1, 2, 3, 4, 5, 6, 7}}},
        {{"raw", c.at("a.bin")}, {"signature", "x"}},
        a,
        {{"raw", "relative/a.bin"}, {"signature", signature}},
        {{"raw", "/"}, {"signature", signature}},
        {{"raw", c.root + "/sub/../a.bin"}, {"signature", signature}},
        {{"raw", c.root + "/./a.bin"}, {"signature", signature}},
        reviewed(scan, c.at("append/c.bin")),
        b,
        {{"raw", c.at("no-folder/x.bin")}, {"signature", signature}},
        {{"raw", c.at("keep.bin")}, {"signature", json::array({"1", "2", "3", "4", "5", "6"})}},
        foreign,
    });
    const json info = deleted(c, request(scan, rows));
    const json expected = json::array({
        "Deleted: " + c.at("b.bin"),
        "Skipped: " + c.at("missing.bin") + " — File changed since scan.",
        "Deleted: " + c.at("a.bin"),
        "Skipped: relative/a.bin — Invalid path.",
        "Skipped: / — Invalid path.",
        "Skipped: " + c.root + "/sub/../a.bin — Invalid path.",
        "Skipped: " + c.root + "/./a.bin — Invalid path.",
        "Skipped: " + c.at("append/c.bin") + " — File changed or removal was denied.",
        "Skipped: " + c.at("b.bin") + " — File changed since scan.",
        "Skipped: " + c.at("no-folder/x.bin") + " — Parent folder changed.",
        "Skipped: " + c.at("keep.bin") + " — File changed since scan.",
        "Skipped: " + other.at("foreign.bin") + " — File is protected or requires authentication.",
    });
    EXPECT_EQ(info.at("messages"), expected);
    EXPECT_EQ(info.at("removed"), json::array({c.at("b.bin"), c.at("a.bin")}));
    EXPECT_EQ(info.at("deleted"), 2);
    EXPECT_EQ(info.size(), 5u);
    for (const char* key : {"before", "after"}) {
        EXPECT_EQ(info.at(key).size(), 3u);
        for (const char* field : {"capacity", "used", "free"})
            EXPECT_TRUE(info.at(key).at(field).is_number_unsigned()) << key << "." << field;
    }
    for (const std::string& kept : {c.at("append/c.bin"), c.at("keep.bin"), other.at("foreign.bin")})
        EXPECT_TRUE(Files::exists(kept)) << kept;
    EXPECT_EQ(Files::read(scan.at("report")), logBefore + logOf(info));
}

TEST(DelverDelete, LogThatCannotBeWrittenStopsTheRemovalsAndTheResultSaysSo)
{
    Case c;
    Files::make(c.at("first.bin"), 20);
    Files::make(c.at("second.bin"), 10);
    Files::make(c.at("third.bin"), 5);
    const json scan = scanned(c);
    const std::string logBefore = Files::read(scan.at("report"));
    const auto rows = [&](std::vector<std::string> names) {
        json out = json::array();
        for (const std::string& name : names)
            out.push_back(reviewed(scan, c.at(name)));
        return request(scan, out);
    };
    // The file system takes nothing more, then only the first few bytes of a line.
    const auto limited = [&](size_t room, const json& body) {
        const json info = succeeded(runLimited(logBefore.size() + room, "delete", c.scope(), body.dump()));
        EXPECT_NE(info.value("reportIncomplete", "").find("File too large"), std::string::npos) << info.dump();
        EXPECT_EQ(Files::read(scan.at("report")), logBefore) << "never a cut-off line";
        return info;
    };
    // The file's line is written before it is unlinked: a report without room keeps the file.
    const json none = limited(0, rows({"first.bin", "second.bin", "third.bin"}));
    EXPECT_EQ(none.at("removed"), json::array());
    EXPECT_EQ(none.at("deleted"), 0);
    ASSERT_EQ(none.at("messages").size(), 1u) << "nothing more is tried once the log cannot tell of it";
    EXPECT_TRUE(none.at("messages")[0].get<std::string>().starts_with(
        "Skipped: " + c.at("first.bin") + " — The scan report cannot be written, so the file was left in place: "));
    for (const std::string name : {"first.bin", "second.bin", "third.bin"})
        EXPECT_TRUE(Files::exists(c.at(name))) << name;

    const json some = limited(5, rows({"second.bin", "third.bin"}));
    EXPECT_EQ(some.at("removed"), json::array());
    EXPECT_TRUE(Files::exists(c.at("second.bin")));
    EXPECT_TRUE(Files::exists(c.at("third.bin")));

    // With room again the log goes on; a complete log has no such key.
    const json info = deleted(c, rows({"third.bin"}));
    EXPECT_EQ(info.at("deleted"), 1);
    EXPECT_EQ(files(c.root), (std::set<std::string> {"first.bin", "second.bin"})) << "no private folder is left behind";
    EXPECT_FALSE(info.contains("reportIncomplete"));
    EXPECT_EQ(Files::read(scan.at("report")), logBefore + logOf(info));
}

TEST(DelverDelete, EmptyRowsAddOnlyTheCapacityLine)
{
    Case c;
    Files::make(c.at("keep.bin"), 10);
    const json scan = scanned(c);
    const std::string logBefore = Files::read(scan.at("report"));
    const json info = deleted(c, request(scan, json::array()));
    EXPECT_EQ(info.at("deleted"), 0);
    EXPECT_EQ(info.at("removed"), json::array());
    EXPECT_EQ(info.at("messages"), json::array());
    EXPECT_EQ(Files::read(scan.at("report")), logBefore + capacityLine(info));
    // The same report takes a further log.
    const json again = deleted(c, request(scan, json::array({reviewed(scan, c.at("keep.bin"))})));
    EXPECT_EQ(Files::read(scan.at("report")),
              logBefore + capacityLine(info) + "\nDeleted: " + c.at("keep.bin") + capacityLine(again));
}

TEST(DelverDelete, HugeOrDeeplyNestedRequestsDoNotCrash)
{
    Case c;
    Files::make(c.at("last.bin"), 10);
    const json scan = scanned(c);
    const json last = reviewed(scan, c.at("last.bin"));

    json rows = json::array();
    for (int i = 0; i < 10000; ++i)
        rows.push_back({{"raw", c.at("gone-" + std::to_string(i))}, {"signature", last.at("signature")}});
    const json many = deleted(c, request(scan, rows));
    ASSERT_EQ(many.at("messages").size(), 10000u);
    EXPECT_EQ(many.at("messages")[9999], "Skipped: " + c.at("gone-9999") + " — File changed since scan.");

    const std::string report = scan.at("report").get<std::string>();
    const std::string deepArray = std::string(100000, '[') + std::string(100000, ']');
    const WorkerRun nestedTop = run("delete", c.scope(), deepArray);
    expectFailure(nestedTop, "Invalid request.");
    const std::string nestedSignature = R"({"report":")" + report + R"(","rows":[{"raw":")" + c.at("last.bin")
                                        + R"(","signature":)" + deepArray + "}, " + last.dump() + "]}";
    const json nested = succeeded(run("delete", c.scope(), nestedSignature));
    EXPECT_EQ(nested.at("messages"), json::array({"Deleted: " + c.at("last.bin")}));
    const std::string deepObject = R"({"report":")" + report + R"(","rows":[],"extra":)"
                                   + std::string(1000000, '[') + std::string(1000000, ']') + "}";
    EXPECT_EQ(succeeded(run("delete", c.scope(), deepObject)).at("deleted"), 0);

    // Far beyond any reviewed selection: an answer either way, never a crash.
    const WorkerRun huge = run("delete", c.scope(), json {{"report", report}, {"rows", json::array()},
                                                          {"padding", std::string(70u << 20, 'p')}}.dump());
    EXPECT_TRUE(huge.status == 0 || huge.status == 1) << huge.status;
    EXPECT_EQ(huge.err.find('\n'), std::string::npos);
}
