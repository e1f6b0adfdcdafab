#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/session/SessionDisk.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSignalSpy>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString dataFolder()
{
    return QString::fromStdString(TestHome::path() + "/Library/Application Support/tallyroom");
}

// A controller over a scope whose folder lives in the test home, so its files are the
// user's own.
class ControllerTest : public testing::Test {
protected:
    void useScope(const std::string& root, bool readOnly = false, const char* worker = DELVER)
    {
        SessionDisk::setCurrent(DiskScope(root, false, dataFolder().toStdString(), readOnly));
        controller = std::make_unique<Controller>(worker, authenticator, application);
    }

    void runToEnd(const char* operation)
    {
        controller->run(operation);
        ASSERT_TRUE(controller->busy());
        ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    }

    const Row& rowFor(const std::string& path) const
    {
        for (const Row& row : controller->data()->rows)
            if (row.raw == path)
                return row;
        throw std::runtime_error("no row for " + path);
    }

    bool logHas(const QString& text) const
    {
        return std::any_of(controller->lines().begin(), controller->lines().end(),
                           [&](const QString& line) { return line.endsWith(text); });
    }

    std::string tree = TestHome::path() + "/tree-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    FakeAuthenticator authenticator;
    FakeApplication application;
    std::unique_ptr<Controller> controller;
    static inline int counter = 0;
};

}

TEST_F(ControllerTest, ScanFillsTheResultStatusAndLog)
{
    for (int i = 0; i < 1234; ++i)
        Files::make(tree + "/many/f" + std::to_string(i), static_cast<size_t>(i % 50));
    Files::make(tree + "/big.mov", 5000);
    useScope(tree);
    EXPECT_EQ(controller->status(), "Scan the selected disk to find the largest files.");
    EXPECT_EQ(controller->group(), "All files");

    controller->run("scan");
    EXPECT_EQ(controller->status(), "Scanning readable files on the selected disk…");
    EXPECT_TRUE(controller->scanning());
    EXPECT_EQ(controller->percent(), 0);
    controller->run("scan");
    EXPECT_EQ(controller->lines().size(), 1) << "a second run while busy does nothing";
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));

    EXPECT_FALSE(controller->failure()) << controller->failure()->reason.toStdString();
    EXPECT_EQ(controller->status(), "Scanned 1,235 file entries. Skipped 0 inaccessible or vanished entries.");
    EXPECT_EQ(controller->percent(), 100);
    ASSERT_TRUE(controller->data());
    EXPECT_EQ(controller->data()->count, 1235);
    ASSERT_TRUE(controller->report());
    EXPECT_TRUE(Files::exists(controller->report()->toStdString()));
    EXPECT_TRUE(logHas("Report: " + *controller->report()));
    EXPECT_TRUE(std::any_of(controller->lines().begin(), controller->lines().end(), [&](const QString& line) {
        return line.contains(QString::fromStdString("  Scanning " + tree)) && line.endsWith(" entries checked, 0 skipped");
    })) << "at least the first entry's progress is logged";
    const QRegularExpression stamped(QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2} [AP]M  Scanning readable files"));
    EXPECT_TRUE(stamped.match(controller->lines().first()).hasMatch()) << controller->lines().first().toStdString();
    EXPECT_FALSE(controller->scanning());
    EXPECT_FALSE(controller->worker());
}

TEST_F(ControllerTest, ReadOnlyScanKeepsNoReportAndSelectsNothing)
{
    Files::make(tree + "/a.bin", 100);
    useScope(tree, true);
    EXPECT_TRUE(controller->readOnly());
    runToEnd("scan");
    EXPECT_FALSE(controller->report());
    controller->toggle(rowFor(tree + "/a.bin"));
    EXPECT_TRUE(controller->selection().empty());
    controller->run("verify");
    controller->run("delete");
    EXPECT_FALSE(controller->busy());

    controller->setReadOnly(false);
    EXPECT_EQ(controller->status(), "Active Mode. Scan again to enable file selection.");
    EXPECT_FALSE(SessionDisk::current()->readOnly());
    controller->toggle(rowFor(tree + "/a.bin"));
    EXPECT_TRUE(controller->selection().empty()) << "a result without a report cannot be selected from";
    controller->setReadOnly(true);
    EXPECT_EQ(controller->status(), "Read-Only Mode. Scan results stay in this window.");
}

TEST_F(ControllerTest, SwitchingToActiveWithoutAResult)
{
    Files::makeFolder(tree);
    useScope(tree, true);
    const QUuid before = SessionDisk::revision();
    controller->setReadOnly(false);
    EXPECT_EQ(controller->status(), "Active Mode.");
    EXPECT_NE(SessionDisk::revision(), before);
}

TEST_F(ControllerTest, PauseResumeAndCancelAScanThatIsStillRunning)
{
    Files::makeTree(tree, 400, 500);
    useScope(tree);
    controller->run("scan");
    ASSERT_TRUE(waitUntil([&] { return controller->worker() != nullptr; }, 5000));
    controller->togglePause();
    ASSERT_TRUE(controller->paused()) << "the worker must still be running";
    EXPECT_EQ(controller->status(), "Scan paused. Resume to continue from this point.");
    const pid_t pid = controller->worker()->pid();
    const auto state = [pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        return close == std::string::npos ? '?' : text[close + 2];
    };
    EXPECT_TRUE(waitUntil([&] { return state() == 'T'; }, 2000)) << "the worker is stopped";

    const Tick tick {"/x", 5, 1, 0, 1};
    const qsizetype lines = controller->lines().size();
    QSignalSpy changed(controller.get(), &Controller::changed);
    QSignalSpy rowsChanged(controller.get(), &Controller::rowsChanged);
    QSignalSpy progressed(controller.get(), &Controller::progressed);
    QSignalSpy logged(controller.get(), &Controller::lineLogged);
    controller->progress(tick);
    controller->progress(tick);
    EXPECT_EQ(controller->lines().size(), lines + 1) << "a repeated tick logs once";
    EXPECT_EQ(progressed.size(), 1);
    EXPECT_EQ(logged.size(), 1);
    EXPECT_EQ(changed.size() + rowsChanged.size(), 0) << "a tick moves only the progress and the log";
    EXPECT_EQ(controller->lines().last().section("  ", 1), "Scanning /x  •  5 entries checked, 0 skipped");

    controller->togglePause();
    EXPECT_FALSE(controller->paused());
    EXPECT_EQ(controller->status(), "Scanning readable files on the selected disk…");
    controller->togglePause();
    ASSERT_TRUE(controller->paused());
    controller->cancelScan();
    EXPECT_TRUE(controller->stopping());
    EXPECT_FALSE(controller->paused());
    EXPECT_EQ(controller->status(), "Cancelling scan…");
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    EXPECT_EQ(controller->status(), "Scan cancelled. No files were deleted.");
    EXPECT_FALSE(controller->failure());
    EXPECT_FALSE(controller->data());
    EXPECT_FALSE(logHas("Report: "));
    EXPECT_EQ(application.terminations, 0);
}

TEST_F(ControllerTest, QuitRequestedBeforeTheWorkerWasKnownCancelsAndThenQuits)
{
    Files::makeTree(tree, 200, 500);
    useScope(tree);
    controller->run("scan");
    controller->setQuitAfterScan(true);
    controller->setTerminateReplyPending(true);
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    EXPECT_EQ(controller->status(), "Scan cancelled. No files were deleted.");
    EXPECT_EQ(application.replies, std::vector<bool> {true});
    EXPECT_EQ(application.terminations, 0);
}

TEST_F(ControllerTest, VerificationOpensAndClosesTheDeletionGate)
{
    Files::make(tree + "/a.bin", 100);
    useScope(tree, false, DELVER_FAKECHECK);
    runToEnd("scan");
    controller->toggle(rowFor(tree + "/a.bin"));
    ASSERT_EQ(controller->selection().size(), 1u);

    qputenv("FAKE_CHECK_STATUS", "3");
    controller->run("verify");
    EXPECT_EQ(controller->status(), "Disk Utility is verifying the selected local volume…");
    EXPECT_TRUE(SessionDisk::trashBlocked());
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    EXPECT_TRUE(controller->blocked());
    EXPECT_TRUE(SessionDisk::trashBlocked());
    EXPECT_EQ(controller->status(), "Verification did not pass. Deletion is disabled. See the report.");
    ASSERT_TRUE(controller->failure());
    EXPECT_EQ(controller->failure()->action, "Disk verification did not pass");
    EXPECT_EQ(controller->failure()->reason, controller->status());
    EXPECT_TRUE(Files::read(controller->report()->toStdString()).find("checking") != std::string::npos);

    controller->run("delete");
    EXPECT_FALSE(controller->busy()) << "blocked: deletion refused";
    controller->toggle(rowFor(tree + "/a.bin"));
    EXPECT_EQ(controller->selection().size(), 1u) << "blocked: toggling refused";

    qputenv("FAKE_CHECK_STATUS", "0");
    runToEnd("verify");
    EXPECT_FALSE(controller->blocked());
    EXPECT_FALSE(SessionDisk::trashBlocked());
    EXPECT_EQ(controller->status(), "Volume verification passed.");
    qunsetenv("FAKE_CHECK_STATUS");
}

TEST_F(ControllerTest, AVerificationThatCheckedNothingLeavesTheGateAsItWas)
{
    Files::make(tree + "/a.bin", 100);
    useScope(tree, false, DELVER_FAKECHECK);
    runToEnd("scan");
    const QString lead = "The full check ";
    const std::vector<std::pair<const char*, QString>> cases {
        {"126", lead + "did not run: authentication was cancelled."},
        {"127", lead + "did not run: you are not permitted to check this volume as administrator."},
    };
    for (const auto& [status, summary] : cases) {
        qputenv("FAKE_PKEXEC_STATUS", status);
        runToEnd("verify");
        EXPECT_FALSE(controller->blocked()) << status;
        EXPECT_FALSE(SessionDisk::trashBlocked()) << status;
        EXPECT_EQ(controller->status(), summary);
        EXPECT_FALSE(controller->failure());
    }
    qunsetenv("FAKE_PKEXEC_STATUS");
    qputenv("FAKE_CHECKER_PATH", "/nonexistent/checker");
    runToEnd("verify");
    EXPECT_FALSE(controller->blocked());
    EXPECT_EQ(controller->status(), "The full check could not run: /nonexistent/checker is not installed.");
    qunsetenv("FAKE_CHECKER_PATH");

    qputenv("FAKE_CHECK_STATUS", "1");
    runToEnd("verify");
    qunsetenv("FAKE_CHECK_STATUS");
    ASSERT_TRUE(controller->blocked());
    qputenv("FAKE_PKEXEC_STATUS", "126");
    runToEnd("verify");
    qunsetenv("FAKE_PKEXEC_STATUS");
    EXPECT_TRUE(controller->blocked()) << "a cancelled check does not open a closed gate";
    EXPECT_TRUE(SessionDisk::trashBlocked());
}

TEST_F(ControllerTest, RecordedErrorsCloseTheGateAndACleanRecordPassesWithItsReason)
{
    Files::make(tree + "/a.bin", 100);
    useScope(tree, false, DELVER_FAKECHECK);
    const std::string kernel = tree + "-kernel";
    struct stat st {};
    ASSERT_EQ(stat(TestHome::path().c_str(), &st), 0);
    Files::makeFolder(kernel + "/dev/block");
    std::filesystem::create_symlink("../../devices/disk9", kernel + "/dev/block/" + std::to_string(major(st.st_dev))
                                                               + ":" + std::to_string(minor(st.st_dev)));
    qputenv("FAKE_KERNEL_ROOT", QByteArray::fromStdString(kernel));
    qputenv("FAKE_ONLINE_CHECK", "none");
    Files::write(kernel + "/fs/ext4/disk9/errors_count", "3\n");
    runToEnd("verify");
    const bool ext = controller->report().has_value() && controller->status().startsWith("Verification did not pass");
    if (ext) {
        EXPECT_TRUE(controller->blocked());
        EXPECT_TRUE(SessionDisk::trashBlocked());
        EXPECT_TRUE(logHas("The kernel has recorded errors on this volume."));
        Files::write(kernel + "/fs/ext4/disk9/errors_count", "0\n");
        runToEnd("verify");
        EXPECT_FALSE(controller->blocked());
        EXPECT_FALSE(SessionDisk::trashBlocked());
        EXPECT_EQ(controller->status(), "Volume verification passed. No errors are recorded for this volume. A full "
                                        "check is not possible while it is mounted.");
    }
    qunsetenv("FAKE_KERNEL_ROOT");
    qunsetenv("FAKE_ONLINE_CHECK");
    std::filesystem::remove_all(kernel);
    if (!ext)
        GTEST_SKIP() << "the test home is not on ext2/3/4: " << controller->status().toStdString();
}

TEST_F(ControllerTest, AVerificationThatCannotRunKeepsTheGateClosed)
{
    Files::makeFolder(tree);
    useScope(tree, false, "/nonexistent/delver");
    runToEnd("verify");
    EXPECT_TRUE(controller->blocked());
    EXPECT_TRUE(SessionDisk::trashBlocked());
    ASSERT_TRUE(controller->failure());
    EXPECT_EQ(controller->failure()->action, "Disk verification could not finish");
    EXPECT_TRUE(controller->status().startsWith("Couldn’t complete the operation: "));
    EXPECT_EQ(controller->percent(), std::nullopt);
}

TEST_F(ControllerTest, DeletionAppliesRemovedSkippedAndTheSummary)
{
    Files::make(tree + "/keep/removable.bin", 3000);
    Files::make(tree + "/keep/changed.bin", 2000);
    Files::make(tree + "/locked/protected.bin", 1000);
    useScope(tree);
    runToEnd("scan");
    for (const char* name : {"/keep/removable.bin", "/keep/changed.bin", "/locked/protected.bin"})
        controller->toggle(rowFor(tree + name));
    ASSERT_EQ(controller->selected().size(), 3u);
    controller->setReview(true);

    Files::write(tree + "/keep/changed.bin", "grown since the scan, and more");
    ASSERT_EQ(std::system(("chattr +i '" + tree + "/locked'").c_str()), 0);
    controller->run("delete");
    EXPECT_FALSE(controller->review());
    EXPECT_EQ(controller->status(), "Deleting the confirmed files…");
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    std::system(("chattr -i '" + tree + "/locked'").c_str());

    EXPECT_FALSE(Files::exists(tree + "/keep/removable.bin"));
    EXPECT_TRUE(Files::exists(tree + "/keep/changed.bin"));
    EXPECT_TRUE(Files::exists(tree + "/locked/protected.bin"));
    EXPECT_EQ(controller->removed(), (std::set<std::string> {tree + "/keep/removable.bin"}));
    EXPECT_TRUE(controller->selection().empty());
    EXPECT_TRUE(controller->status().startsWith("Deleted 1 of 3. Available: ")) << controller->status().toStdString();
    EXPECT_TRUE(controller->status().endsWith(". Scan again to refresh."));
    EXPECT_TRUE(QRegularExpression(" → .* \\([+−].*\\)\\. ").match(controller->status()).hasMatch());
    EXPECT_TRUE(logHas(QString::fromStdString("Deleted: " + tree + "/keep/removable.bin")));
    EXPECT_TRUE(logHas(QString::fromStdString("Skipped: " + tree + "/locked/protected.bin — File is protected or requires authentication.")));
    ASSERT_TRUE(controller->failure());
    EXPECT_EQ(controller->failure()->action, "Some files could not be deleted");
    EXPECT_EQ(controller->failure()->reason, QString::fromStdString("Skipped: " + tree + "/keep/changed.bin — File changed since scan.\nSee Scan Log for the full result."));
    EXPECT_EQ(*controller->report(), QString::fromStdString(controller->data()->report));
    const std::string report = Files::read(controller->data()->report);
    EXPECT_NE(report.find("\nDeleted: " + tree + "/keep/removable.bin"), std::string::npos);

    controller->toggle(rowFor(tree + "/keep/removable.bin"));
    EXPECT_TRUE(controller->selection().empty()) << "a removed row cannot be selected again";
}

TEST_F(ControllerTest, AKilledDeletionAppliesWhatItsReportSaysWasRemoved)
{
    const std::string first = tree + "/first.bin";
    const std::string second = tree + "/second.bin";
    const std::string third = tree + "/third.bin";
    Files::make(first, 3000);
    Files::make(second, 2000);
    Files::make(third, 1000);
    // Scans with the real worker; deletes as a worker that is killed part of the way through.
    const std::string worker = tree + "-worker";
    const auto workerDoes = [&](const std::string& deletion) {
        Files::write(worker, "#!/bin/sh\nif [ \"$1\" = scan ]; then exec '" DELVER "' \"$@\"; fi\ncat >/dev/null\n"
                                 + deletion + "kill -KILL $$\n");
        chmod(worker.c_str(), 0755);
    };
    workerDoes("");
    useScope(tree, false, worker.c_str());
    runToEnd("scan");
    for (const std::string& path : {first, second, third})
        controller->toggle(rowFor(path));
    const std::string report = controller->data()->report;

    runToEnd("delete");
    EXPECT_TRUE(controller->removed().empty());
    EXPECT_EQ(controller->selection().size(), 3u) << "nothing was reached, so the selection stays";
    EXPECT_FALSE(controller->status().contains("before it stopped"));

    // A line an earlier run left in the report is not this run's.
    { std::ofstream(report, std::ios::app) << "\nDeleted: " + second; }
    workerDoes("printf '\\nDeleted: %s' '" + first + "' >> '" + report + "'\nrm '" + first + "'\n");
    runToEnd("delete");
    EXPECT_FALSE(Files::exists(first));
    EXPECT_EQ(controller->removed(), (std::set<std::string> {first}));
    EXPECT_EQ(controller->selection(), (std::set<std::string> {second, third}));
    const QString killed = "The scan worker was killed by signal 9 (" + QString::fromUtf8(strsignal(SIGKILL))
                           + ") before it finished: the system may have run short of memory, or another program ended it.";
    const QString summary = " Deleted 1 of 3 before it stopped. Scan again to refresh.";
    EXPECT_EQ(controller->status(), "Couldn’t complete the operation: " + killed + summary);
    ASSERT_TRUE(controller->failure());
    EXPECT_EQ(controller->failure()->action, "Deletion could not finish");
    EXPECT_EQ(controller->failure()->reason, killed + summary);
    EXPECT_TRUE(logHas(QString::fromStdString("Deleted: " + first)));
    EXPECT_EQ(*controller->report(), QString::fromStdString(report));
}

TEST_F(ControllerTest, ProtectedRowsAreUnlockedOnlyByAuthentication)
{
    const std::string outside = "/tmp/tallyroom-shared-" + std::to_string(getpid());
    Files::make(outside + "/shared.iso", 4000);
    Files::make(outside + "/.hidden/secret.bin", 9000);
    SessionDisk::setCurrent(DiskScope(outside, false, dataFolder().toStdString()));
    controller = std::make_unique<Controller>(DELVER, authenticator, application);
    runToEnd("scan");
    const Row shared = rowFor(outside + "/shared.iso");
    ASSERT_TRUE(shared.unlockable);

    authenticator.available = false;
    controller->toggle(shared);
    EXPECT_EQ(controller->status(), "Mac authentication unavailable.");
    EXPECT_FALSE(controller->authenticating());

    authenticator.available = true;
    authenticator.failure = QStringLiteral("Authentication failed.");
    controller->toggle(shared);
    EXPECT_EQ(controller->status(), "File remains locked: Authentication failed.");
    EXPECT_TRUE(controller->selection().empty());
    EXPECT_EQ(authenticator.reasons.last(), "Unlock shared.iso for selection in tallyroom. Deletion requires a separate confirmation.");

    authenticator.failure.reset();
    authenticator.hold = true;
    controller->toggle(shared);
    EXPECT_TRUE(controller->authenticating());
    EXPECT_EQ(controller->status(), "Waiting for Mac authentication…");
    controller->run("scan");
    EXPECT_FALSE(controller->busy()) << "nothing starts while the prompt is open";
    authenticator.answer();
    EXPECT_FALSE(controller->authenticating());
    EXPECT_EQ(controller->selection(), (std::set<std::string> {shared.raw}));
    EXPECT_EQ(controller->approved(), (std::set<std::string> {shared.raw}));
    EXPECT_EQ(controller->status(), "Unlocked and selected. Review the selection before deleting.");
    EXPECT_TRUE(logHas(QString::fromStdString("Unlocked for this selection: " + shared.path)));

    controller->toggle(shared);
    EXPECT_TRUE(controller->selection().empty());
    EXPECT_TRUE(controller->approved().empty()) << "deselecting drops the unlock";

    const Row secret = rowFor(outside + "/.hidden/secret.bin");
    const qsizetype lines = controller->lines().size();
    controller->toggle(secret);
    controller->toggle(secret);
    EXPECT_EQ(controller->lines().size(), lines + 2);
    EXPECT_TRUE(logHas(QString::fromStdString("Report only. This file cannot be unlocked here because of its location, ownership, flags, or folder permissions. " + secret.path)));

    authenticator.hold = false;
    controller->toggle(shared);
    runToEnd("delete");
    EXPECT_FALSE(Files::exists(outside + "/shared.iso")) << "approved, so removed";
    std::filesystem::remove_all(outside);
}

TEST_F(ControllerTest, TheLogKeepsTheLatestSixHundredLines)
{
    Files::makeFolder(tree);
    useScope(tree);
    for (int i = 1; i <= 601; ++i)
        controller->log(QString::number(i));
    ASSERT_EQ(controller->lines().size(), 600);
    EXPECT_TRUE(controller->lines().first().endsWith("  2"));
    EXPECT_TRUE(controller->lines().last().endsWith("  601"));
}

TEST_F(ControllerTest, NamesThatAreNotUtf8AreSelectedAndDeletedByTheirExactBytes)
{
    const std::string first = tree + "/clip\xff.bin";
    const std::string second = tree + "/clip\xfe.bin";
    Files::make(first, 300);
    Files::make(second, 200);
    useScope(tree);
    runToEnd("scan");
    const Row& chosen = rowFor(second);
    EXPECT_EQ(chosen.path, tree + "/clip\xef\xbf\xbd.bin");
    EXPECT_EQ(rowFor(first).path, chosen.path) << "the same text on screen";

    controller->toggle(chosen);
    EXPECT_EQ(controller->selection(), std::set<std::string>({second}));
    runToEnd("delete");
    EXPECT_FALSE(controller->failure()) << controller->failure()->reason.toStdString();
    EXPECT_EQ(controller->removed(), std::set<std::string>({second}));
    EXPECT_FALSE(Files::exists(second));
    EXPECT_TRUE(Files::exists(first));
}
