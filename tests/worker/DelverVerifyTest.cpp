// Black-box tests of delver's "verify" operation: with a worker whose volume checker
// is the fake script of tests/fixtures, and with the real worker on this machine.

#include "DelverHarness.h"

#include "TempFolder.h"
#include "shared/platform/Volumes.h"

#include <regex>
#include <sys/sysmacros.h>

using namespace harness;

namespace {

// Sets one variable of the fake table or scripts for the runs of one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() { unsetenv(name_); }

private:
    const char* name_;
};

// Sets FAKE_CHECK_STATUS for the runs of one test; the fake checker exits with it.
class CheckStatus : public ScopedEnv {
public:
    explicit CheckStatus(const char* status)
        : ScopedEnv("FAKE_CHECK_STATUS", status)
    {
    }
};

bool endsWith(const std::string& text, const std::string& end)
{
    return text.ends_with(end);
}

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
    EXPECT_EQ(passed.size(), 4u);
    EXPECT_EQ(passed.at("ok"), true);
    EXPECT_EQ(passed.at("checked"), true);
    const std::string first = passed.at("report");
    expectVerificationReport(c, first);
    EXPECT_TRUE(endsWith(Files::read(first), expected)) << Files::read(first);

    for (const char* code : {"3", "1"}) {
        const CheckStatus status(code);
        const json failed = succeeded(run("verify", c.scope(), {}, DELVER_FAKECHECK));
        EXPECT_EQ(failed.at("ok"), false) << code;
        expectVerificationReport(c, failed.at("report"));
        EXPECT_NE(failed.at("report"), first);
        EXPECT_TRUE(endsWith(Files::read(failed.at("report")), expected));
    }
    EXPECT_TRUE(endsWith(Files::read(first), expected)) << "a report is never overwritten";
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
    EXPECT_TRUE(endsWith(Files::read(result.at("report")), checkerOutput(volume)));
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

TEST(DelverVerify, ACancelledOrRefusedAuthenticationIsNoVerdict)
{
    Case c;
    for (const char* status : {"126", "127"}) {
        const ScopedEnv refused("FAKE_PKEXEC_STATUS", status);
        const json result = succeeded(run("verify", c.scope(), {}, DELVER_FAKECHECK));
        EXPECT_EQ(result.at("ok"), false);
        EXPECT_EQ(result.at("checked"), false);
        EXPECT_TRUE(std::string(result.at("summary")).starts_with("The full check did not run: ")) << result;
        EXPECT_TRUE(Files::read(result.at("report")).ends_with("fake pkexec refused\n"));
    }
}

TEST(DelverVerify, TheKernelsErrorCountDecidesWhereNoFullCheckExists)
{
    Case c;
    TempFolder kernel;
    struct stat st {};
    ASSERT_EQ(stat(c.root.c_str(), &st), 0);
    const std::string device = std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    Files::makeFolder(kernel / "dev/block");
    std::filesystem::create_symlink("../../devices/virtual/block/disk9", kernel / ("dev/block/" + device));
    const ScopedEnv root("FAKE_KERNEL_ROOT", kernel.path().c_str());
    const ScopedEnv none("FAKE_ONLINE_CHECK", "none");
    if (Volumes::containing(c.root).type.rfind("ext", 0) != 0)
        GTEST_SKIP() << "the test folder is not on ext2/3/4";

    Files::write(kernel / "fs/ext4/disk9/errors_count", "0\n");
    const json clean = succeeded(run("verify", c.scope(), {}, DELVER_FAKECHECK));
    EXPECT_EQ(clean.at("ok"), true);
    EXPECT_EQ(clean.at("summary"), "No errors are recorded for this volume. A full check is not possible while it is mounted.");
    Files::write(kernel / "fs/ext4/disk9/errors_count", "2\n");
    const json recorded = succeeded(run("verify", c.scope(), {}, DELVER_FAKECHECK));
    EXPECT_EQ(recorded.at("ok"), false);
    EXPECT_EQ(recorded.at("checked"), true);
    EXPECT_EQ(Files::read(recorded.at("report")), "Errors recorded by the kernel:\nerrors_count: 2\n\n");
}

TEST(DelverVerify, ARealLoopMountedExt4VolumeWithoutErrorsPasses)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a loop image needs root";
    if (access("/usr/sbin/mkfs.ext4", X_OK) != 0)
        GTEST_SKIP() << "mkfs.ext4 is not installed";
    Case c;
    TempFolder images;
    const std::string image = images / "ext4.img";
    Files::make(image, 8 << 20);
    ASSERT_EQ(std::system(("/usr/sbin/mkfs.ext4 -q -F " + image + " >/dev/null 2>&1").c_str()), 0);
    const std::string volume = c.at("volume");
    Files::makeFolder(volume);
    if (std::system(("mount -o loop " + image + " " + volume + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot loop-mount an image here";
    c.mounts.push_back(volume);
    const json result = succeeded(run("verify", encode(DiskScope(volume, false, c.data).toJson())));
    EXPECT_EQ(result.at("ok"), true);
    EXPECT_EQ(result.at("checked"), true);
    EXPECT_EQ(result.at("summary"), "No errors are recorded for this volume. A full check is not possible while it is mounted.");
    EXPECT_NE(Files::read(result.at("report")).find("errors_count: 0\n"), std::string::npos);
}
