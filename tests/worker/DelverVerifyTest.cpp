// Black-box tests of delver's "verify" operation: with a worker whose volume checker
// is the fake script of tests/fixtures, and with the real worker on this machine.

#include "DelverHarness.h"

#include <regex>

using namespace harness;

namespace {

// Sets FAKE_CHECK_STATUS for the runs of one test; the fake checker exits with it.
class CheckStatus {
public:
    explicit CheckStatus(const char* status)
    {
        if (status)
            setenv("FAKE_CHECK_STATUS", status, 1);
        else
            unsetenv("FAKE_CHECK_STATUS");
    }
    ~CheckStatus() { unsetenv("FAKE_CHECK_STATUS"); }
};

// The mount point that holds a path: its highest ancestor on the same device.
std::string mountPointOf(std::string path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    while (path != "/") {
        const std::string parent = std::filesystem::path(path).parent_path().string();
        struct stat above {};
        if (stat(parent.c_str(), &above) != 0 || above.st_dev != st.st_dev)
            break;
        path = parent;
    }
    return path;
}

std::string checkerOutput(const std::string& mountPoint)
{
    return "checking " + mountPoint + "\nwarning on stderr\nno final newline";
}

void expectVerificationReport(const Case& c, const std::string& report)
{
    EXPECT_EQ(std::filesystem::path(report).parent_path().string(), c.reports());
    EXPECT_TRUE(std::regex_match(std::filesystem::path(report).filename().string(),
                                 std::regex("Volume verification \\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\dZ "
                                            "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\.txt")))
        << report;
}

}

TEST(DelverVerify, PassingAndFailingVerdictsKeepTheCheckersOutputByteForByte)
{
    Case c;
    Files::make(c.at("file.bin"), 10);
    const std::string expected = checkerOutput(mountPointOf(c.root));
    json passed;
    {
        const CheckStatus status(nullptr);
        const WorkerRun run = harness::run("verify", c.scope(), {}, DELVER_FAKECHECK);
        passed = succeeded(run);
        EXPECT_EQ(run.out.find('\n'), std::string::npos);
    }
    EXPECT_EQ(passed.size(), 2u);
    EXPECT_EQ(passed.at("ok"), true);
    const std::string first = passed.at("report");
    expectVerificationReport(c, first);
    EXPECT_EQ(Files::read(first), expected);

    for (const char* code : {"3", "1"}) {
        const CheckStatus status(code);
        const json failed = succeeded(run("verify", c.scope(), {}, DELVER_FAKECHECK));
        EXPECT_EQ(failed.at("ok"), false) << code;
        expectVerificationReport(c, failed.at("report"));
        EXPECT_NE(failed.at("report"), first);
        EXPECT_EQ(Files::read(failed.at("report")), expected);
    }
    EXPECT_EQ(Files::read(first), expected) << "a report is never overwritten";
    EXPECT_EQ(files(c.reports()).size(), 3u);
    EXPECT_TRUE(Files::exists(c.at("file.bin")));
}

TEST(DelverVerify, TheCheckerIsGivenTheVolumesMountPointNotTheFolder)
{
    Case c;
    const std::string volume = c.at("volume");
    Files::makeFolder(volume);
    if (mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount tmpfs here";
    c.mounts.push_back(volume);
    Files::make(volume + "/folder/file.bin", 10);
    json scope = DiskScope(volume + "/folder", false, c.data).toJson();
    const CheckStatus status(nullptr);
    const json result = succeeded(run("verify", encode(scope), {}, DELVER_FAKECHECK));
    EXPECT_EQ(result.at("ok"), true);
    EXPECT_EQ(Files::read(result.at("report")), checkerOutput(volume));
}

TEST(DelverVerify, ReadOnlyModeOrAnUnsuitableDataFolderRefuseBeforeAnyReport)
{
    Case c;
    const CheckStatus status(nullptr);
    expectFailure(run("verify", c.scope(true), {}, DELVER_FAKECHECK), "This action requires Active Mode.");
    EXPECT_FALSE(Files::exists(c.reports()));

    Files::write(c.reports(), "occupied");
    expectFailure(run("verify", c.scope(), {}, DELVER_FAKECHECK), occupied);
    EXPECT_EQ(Files::read(c.reports()), "occupied");

    Case library(TestHome::path() + "/Library");
    json scope = c.scopeJson();
    scope["data"] = library.data;
    expectFailure(run("verify", encode(scope), {}, DELVER_FAKECHECK), placementRefused);
    EXPECT_FALSE(Files::exists(library.data));
}

TEST(DelverVerify, ReportThatCannotBeWrittenFailsTheOperationAndLeavesNoFile)
{
    Case c;
    const CheckStatus status(nullptr);
    const WorkerRun run = runLimited(10, "verify", c.scope(), {}, DELVER_FAKECHECK);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), std::string::npos) << run.err;
    EXPECT_TRUE(files(c.reports()).empty());
}

TEST(DelverVerify, RealCheckerGivesAVerdictWithAReportOrAClearFailure)
{
    Case c;
    Files::make(c.at("file.bin"), 10);
    Case memory;
    const bool mounted = mount("tmpfs", memory.root.c_str(), "tmpfs", 0, "size=1m") == 0;
    if (mounted)
        memory.mounts.push_back(memory.root);
    std::vector<std::string> scopes = {c.scope()};
    if (mounted)
        scopes.push_back(memory.scope());
    for (const std::string& scope : scopes) {
        const WorkerRun run = harness::run("verify", scope);
        ASSERT_TRUE(run.status == 0 || run.status == 1) << "ended by signal or odd status " << run.status;
        if (run.status == 0) {
            EXPECT_EQ(run.err, "");
            const json result = json::parse(run.out);
            EXPECT_TRUE(result.at("ok").is_boolean());
            const std::string report = result.at("report");
            EXPECT_TRUE(Files::exists(report)) << report;
            EXPECT_EQ(report.rfind(c.reports() + "/Volume verification ", 0) == 0
                          || report.rfind(memory.reports() + "/Volume verification ", 0) == 0,
                      true)
                << report;
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_FALSE(run.err.empty());
            EXPECT_EQ(run.err.find('\n'), std::string::npos) << run.err;
        }
    }
}
