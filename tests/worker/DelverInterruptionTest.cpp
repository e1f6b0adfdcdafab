// A deletion killed, or refused room for its report, at each system call of the kinds it acts
// with, and then run once more: the report and the disk agree, and nothing unreviewed changed.

#include "DelverHarness.h"

using namespace harness;

namespace {

const std::vector<std::string> reviewedNames = {"a.bin", "b.bin", "sub/c.bin"};

bool straceWorks()
{
    return std::system("strace -o /dev/null true >/dev/null 2>&1") == 0;
}

struct Deletion {
    Case c;
    json scan;
    json request;
    uint64_t keepInode = 0;

    Deletion()
    {
        for (const std::string& name : reviewedNames)
            Files::make(c.at(name), 100);
        Files::make(c.at("keep.bin"), 100);
        keepInode = FileStatus::of(c.at("keep.bin"))->inode;
        scan = scanned(c);
        json rows = json::array();
        for (const std::string& name : reviewedNames)
            rows.push_back(*rowOf(scan, c.at(name)));
        request = {{"report", scan.at("report")}, {"rows", rows}};
    }

    // Runs the deletion under strace with one fault injected; true when it struck.
    bool runWith(const std::string& injection)
    {
        const WorkerRun run = WorkerRun::of("/usr/bin/strace", {"-f", "-o", "/dev/null", "-e", "inject=" + injection,
                                                               DELVER, "delete", c.scope()},
                                            request.dump());
        return run.status == 137 || run.status == 1 || run.out.find("reportIncomplete") != std::string::npos;
    }

    // After the next run: every file gone has its "Deleted: " line, every such line a file gone,
    // no outcome is left untold, nothing is left hidden and nothing unreviewed changed.
    void expectAgreement(const std::string& what)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(run("delete", c.scope(), request.dump()).status, 0);
        const std::string log = Files::read(scan.at("report"));
        EXPECT_EQ(log.find("\nPending: "), std::string::npos) << log;
        for (const std::string& name : reviewedNames) {
            const bool logged = log.find("\nDeleted: " + c.at(name) + "\n") != std::string::npos
                                || log.find("\nDeleted: " + c.at(name) + "\nAvailable") != std::string::npos;
            EXPECT_EQ(logged, !Files::exists(c.at(name))) << name << "\n" << log;
        }
        const auto keep = FileStatus::of(c.at("keep.bin"));
        EXPECT_TRUE(keep && keep->inode == keepInode && Files::read(c.at("keep.bin")) == std::string(100, 'x'));
        for (const std::string& folder : {c.root, c.at("sub")})
            for (const std::string& name : files(folder))
                EXPECT_EQ(name.find(".tallyroom-"), std::string::npos) << folder << "/" << name;
    }
};

}

TEST(DelverInterruption, KilledAtAnyCallTheNextRunLeavesReportAndDiskAgreeing)
{
    if (!straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const std::string call : {"mkdirat", "renameat2", "flock", "pwrite64", "unlinkat", "getdents64"}) {
        for (int n = 1;; ++n) {
            Deletion deletion;
            const std::string injection = call + ":signal=KILL:when=" + std::to_string(n);
            if (!deletion.runWith(injection))
                break;
            deletion.expectAgreement(injection);
            ASSERT_LT(n, 200) << call;
        }
    }
}

TEST(DelverInterruption, ReportWithoutRoomStopsBeforeTheNextFileAndStaysTrue)
{
    if (!straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (int n = 1;; ++n) {
        Deletion deletion;
        const std::string injection = "pwrite64:error=ENOSPC:when=" + std::to_string(n);
        if (!deletion.runWith(injection))
            break;
        // A refused line stops the run; only the turn of a pending line into "Deleted:" can
        // leave one untold outcome behind, as the last line, for the next run to settle.
        const std::string log = Files::read(deletion.scan.at("report"));
        const size_t pending = log.find("\nPending: ");
        EXPECT_TRUE(pending == std::string::npos || log.find('\n', pending + 1) == std::string::npos)
            << injection << "\n" << log;
        for (const std::string& name : reviewedNames) {
            const std::string path = deletion.c.at(name);
            const bool logged = log.find("\nDeleted: " + path) != std::string::npos;
            const bool untold = pending != std::string::npos && log.substr(pending) == "\nPending: " + path;
            EXPECT_TRUE(logged || untold || Files::exists(path)) << injection << " " << name << "\n" << log;
            if (logged)
                EXPECT_FALSE(Files::exists(path)) << injection << " " << name;
        }
        deletion.expectAgreement(injection);
        ASSERT_LT(n, 200);
    }
}
