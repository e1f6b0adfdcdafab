// The verdicts of a verification, with the kernel's records as files of a temporary folder,
// a fake administrator runner and the fake checker script.

#include "Files.h"
#include "TempFolder.h"
#include "worker/VolumeVerifier.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class FakeRunner : public PrivilegedRunner {
public:
    bool available() const override { return installed; }
    CommandOutcome run(const std::vector<std::string>& command) override
    {
        commands.push_back(command);
        return {"scrub output\n", status};
    }

    bool installed = true;
    int status = 0;
    std::vector<std::vector<std::string>> commands;
};

constexpr int32_t loop3 = (7 << 20) | 3;

class VolumeVerifierTest : public testing::Test {
protected:
    void SetUp() override
    {
        Files::makeFolder(kernel / "devices/virtual/block/loop3");
        Files::makeFolder(kernel / "dev/block");
        std::filesystem::create_symlink("../../devices/virtual/block/loop3", kernel / "dev/block/7:3");
    }

    void ext4Errors(const std::string& count)
    {
        Files::write(kernel / "fs/ext4/loop3/errors_count", count + "\n");
        Files::write(kernel / "fs/ext4/loop3/first_error_time", "1765400000\n");
        Files::write(kernel / "fs/ext4/loop3/first_error_func", "ext4_lookup\n");
    }

    void btrfsErrors(const std::string& corruption)
    {
        const std::string fsid = kernel / "fs/btrfs/0b6c6a3e-5d38-4d2a-9a59-1f2e3d4c5b6a";
        Files::write(fsid + "/devices/loop3", "");
        Files::write(fsid + "/devinfo/1/error_stats",
                     "write_errs 0\nread_errs 0\nflush_errs 0\ncorruption_errs " + corruption + "\ngeneration_errs 0\n");
    }

    VolumeVerdict verify(const std::string& type, std::optional<std::vector<std::string>> check = std::nullopt)
    {
        const KernelRecords records(kernel.path());
        return VolumeVerifier(records, runner).verify(Mount {"/mnt/v", type, "/dev/loop3", loop3}, check);
    }

    TempFolder kernel;
    FakeRunner runner;
    const std::vector<std::string> scrub {FAKE_CHECKER, "/mnt/v"};
};

}

TEST_F(VolumeVerifierTest, Ext4IsJudgedByTheKernelsErrorCountAndSaysNoFullCheckIsPossible)
{
    ext4Errors("0");
    const VolumeVerdict clean = verify("ext4");
    EXPECT_TRUE(clean.checked);
    EXPECT_TRUE(clean.ok);
    EXPECT_EQ(clean.summary, "No errors are recorded for this volume. A full check is not possible while it is mounted.");
    EXPECT_NE(clean.report.find("errors_count: 0\nfirst_error_time: 1765400000\nfirst_error_func: ext4_lookup\n"),
              std::string::npos)
        << clean.report;

    ext4Errors("4");
    const VolumeVerdict broken = verify("ext4", scrub);
    EXPECT_TRUE(broken.checked);
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.summary, "The kernel has recorded errors on this volume.");
    EXPECT_NE(broken.report.find("errors_count: 4"), std::string::npos);
    EXPECT_TRUE(runner.commands.empty()) << "recorded errors need no full check";

    ext4Errors("4 ");
    EXPECT_FALSE(verify("ext4").checked) << "a count that is not plain is not understood";
    std::filesystem::remove_all(kernel / "fs/ext4");
    const VolumeVerdict unread = verify("ext4");
    EXPECT_FALSE(unread.checked);
    EXPECT_FALSE(unread.ok);
    EXPECT_EQ(unread.summary, "The kernel’s error count for /dev/loop3 could not be read.");
}

TEST_F(VolumeVerifierTest, BtrfsErrorStatisticsAndTheFullCheckThroughTheRunner)
{
    btrfsErrors("0");
    const VolumeVerdict passed = verify("btrfs", scrub);
    EXPECT_TRUE(passed.checked);
    EXPECT_TRUE(passed.ok);
    EXPECT_EQ(passed.summary, "");
    EXPECT_EQ(runner.commands, std::vector<std::vector<std::string>> {scrub});
    EXPECT_NE(passed.report.find("1 corruption_errs: 0\n"), std::string::npos) << passed.report;
    EXPECT_TRUE(passed.report.ends_with("Full check: " FAKE_CHECKER " /mnt/v\nscrub output\n")) << passed.report;

    runner.status = 3;
    const VolumeVerdict failed = verify("btrfs", scrub);
    EXPECT_TRUE(failed.checked);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.summary, "The full check found problems.");

    btrfsErrors("2");
    const VolumeVerdict recorded = verify("btrfs", scrub);
    EXPECT_TRUE(recorded.checked);
    EXPECT_FALSE(recorded.ok);
    EXPECT_EQ(recorded.summary, "The kernel has recorded errors on this volume.");
}

TEST_F(VolumeVerifierTest, ACheckThatCouldNotRunIsNoVerdictAndSaysWhy)
{
    btrfsErrors("0");
    const std::string clean = "No errors are recorded for this volume, but the full check ";
    struct Case {
        int status;
        bool installed;
        std::vector<std::string> check;
        std::string summary;
    };
    const std::vector<Case> cases {
        {PrivilegedRunner::cancelled, true, scrub, clean + "did not run: authentication was cancelled."},
        {PrivilegedRunner::notAuthorized, true, scrub,
         clean + "did not run: you are not permitted to check this volume as administrator."},
        {0, false, scrub, clean + "could not run: administrator authentication (pkexec) is not installed."},
        {0, true, {"/nonexistent/btrfs", "scrub"}, clean + "could not run: /nonexistent/btrfs is not installed."},
    };
    for (const Case& c : cases) {
        runner.status = c.status;
        runner.installed = c.installed;
        const VolumeVerdict verdict = verify("btrfs", c.check);
        EXPECT_FALSE(verdict.checked) << c.summary;
        EXPECT_FALSE(verdict.ok) << c.summary;
        EXPECT_EQ(verdict.summary, c.summary);
    }

    runner.status = PrivilegedRunner::cancelled;
    runner.installed = true;
    EXPECT_EQ(verify("xfs", scrub).summary, "The full check did not run: authentication was cancelled.");
    const VolumeVerdict memory = verify("tmpfs");
    EXPECT_FALSE(memory.checked);
    EXPECT_EQ(memory.summary, "The kernel keeps no error count for tmpfs volumes.");
}
