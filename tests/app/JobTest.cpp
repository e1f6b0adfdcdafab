#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "app/operations/Job.h"
#include "app/session/SessionDisk.h"
#include "shared/DiskScope.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/stat.h>

namespace {

// A stand-in worker: a shell script with the given body.
class FakeWorker {
public:
    explicit FakeWorker(const std::string& body)
    {
        Files::write(path(), "#!/bin/sh\n" + body + "\n");
        chmod(path().c_str(), 0755);
        SessionDisk::setCurrent(DiskScope(folder_.path(), false, TestHome::path() + "/Data"));
    }

    QString program() const { return QString::fromStdString(path()); }
    std::string path() const { return folder_ / "worker"; }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
};

struct JobRun {
    std::vector<Tick> ticks;
    QByteArray result;
    QString error;
    int launches = 0;
};

JobRun runJob(const FakeWorker& worker, const QString& operation = QStringLiteral("scan"),
           const std::optional<QByteArray>& request = std::nullopt)
{
    JobRun run;
    try {
        run.result = job(
            worker.program(), operation, request, [&](const Tick& tick) { run.ticks.push_back(tick); },
            [&](std::shared_ptr<WorkerProcess>) { ++run.launches; });
    } catch (const Problem& problem) {
        run.error = QString::fromStdString(problem.description());
    }
    return run;
}

const char* tick(int entries)
{
    static std::string text;
    text = R"({"folder":"/a","entries":)" + std::to_string(entries) + R"(,"files":1,"errors":0,"percent":3})";
    return text.c_str();
}

}

TEST(Job, FramesProgressLinesHoweverTheyArrive)
{
    const std::string first = tick(1);
    const std::string second = tick(2);
    const std::string third = tick(3);
    const FakeWorker worker("printf '%s' '" + first.substr(0, 20) + "'\nsleep 0.2\nprintf '%s\\n' '" + first.substr(20)
                            + "'\nprintf '%s\\n%s\\n\\nnot json\\n{\"other\":1}\\n' '" + second + "' '" + third
                            + "'\nprintf '{\"rows\":[]}'");
    const JobRun run = runJob(worker);
    EXPECT_EQ(run.error, "");
    ASSERT_EQ(run.ticks.size(), 3u);
    EXPECT_EQ(run.ticks[0].entries, 1);
    EXPECT_EQ(run.ticks[1].entries, 2);
    EXPECT_EQ(run.ticks[2], (Tick {"/a", 3, 1, 0, 3}));
    EXPECT_EQ(run.result, R"({"rows":[]})");
    EXPECT_EQ(run.launches, 1);
}

TEST(Job, AResultEndingInALineFeedLeavesNothing)
{
    const FakeWorker worker("printf '{\"ok\":true}\\n'");
    const JobRun run = runJob(worker, QStringLiteral("verify"));
    EXPECT_EQ(run.error, "");
    EXPECT_TRUE(run.result.isEmpty());
}

TEST(Job, FailuresCarryTheWorkersOwnWords)
{
    const FakeWorker plain("printf 'Target disk is unavailable or has changed.' >&2\nexit 1");
    EXPECT_EQ(runJob(plain).error, "Target disk is unavailable or has changed.");

    const FakeWorker chatty(std::string("printf '%s\\n\\nnoise\\n' '") + tick(1) + "'\nprintf 'Bad \\377 thing' >&2\nexit 1");
    const JobRun run = runJob(chatty);
    EXPECT_EQ(run.ticks.size(), 1u);
    EXPECT_EQ(run.error, "\nnoise\nBad \uFFFD thing") << "empty line kept, invalid bytes repaired";

    const FakeWorker killed(std::string("printf '%s\\n' '") + tick(1) + "'\nkill -TERM $$");
    EXPECT_EQ(runJob(killed).error, "The scan worker stopped unexpectedly. Check the selected disk and try again.");
}

TEST(Job, PassesOperationScopeAndRequest)
{
    const FakeWorker worker("printf '%s|' \"$1\" >&2\necho \"$2\" | base64 -d >/dev/null || exit 9\ncat\nexit 1");
    const QByteArray request = R"({"report":"r","rows":[]})";
    EXPECT_EQ(runJob(worker, QStringLiteral("delete"), request).error, QString("delete|") + request);
    EXPECT_EQ(runJob(worker, QStringLiteral("scan")).error, "scan|") << "standard input ends at once";
}

TEST(Job, AWorkerThatDiedBeforeReadingItsRequestIsAnErrorNotACrash)
{
    const FakeWorker worker("exit 0");
    const QByteArray large(4 << 20, 'x');
    const JobRun run = runJob(worker, QStringLiteral("delete"), large);
    EXPECT_EQ(run.error, QString::fromStdString(PosixError(EPIPE).description()));
}

TEST(Job, NothingStartsWithoutAValidScope)
{
    TempFolder folder;
    Files::makeFolder(folder / "disk");
    Files::write(folder / "marker-worker", "#!/bin/sh\ntouch " + (folder / "started") + "\n");
    chmod((folder / "marker-worker").c_str(), 0755);
    int launches = 0;
    const auto attempt = [&] {
        try {
            job(QString::fromStdString(folder / "marker-worker"), QStringLiteral("scan"), std::nullopt, [](const Tick&) {},
                [&](std::shared_ptr<WorkerProcess>) { ++launches; });
            return QString();
        } catch (const TrashProblem& problem) {
            return QString::fromStdString(problem.text());
        }
    };
    const QString expected = "The selected disk or folder is no longer available. Reconnect it or choose Change Disk.";
    EXPECT_EQ(attempt(), expected) << "no current scope";
    SessionDisk::setCurrent(DiskScope(folder / "disk", false, TestHome::path() + "/Data"));
    std::filesystem::rename(folder / "disk", folder / "gone");
    EXPECT_EQ(attempt(), expected) << "the scope's root went away";
    EXPECT_EQ(launches, 0);
    EXPECT_FALSE(Files::exists(folder / "started"));
}

TEST(Job, AWorkerThatCannotRunNamesItsPathAndAsksForAReinstall)
{
    const FakeWorker worker("exit 0");
    const auto runFrom = [&](const std::string& path) {
        try {
            job(QString::fromStdString(path), QStringLiteral("scan"), std::nullopt, [](const Tick&) {});
            return std::string();
        } catch (const TrashProblem& problem) {
            return problem.text();
        }
    };
    const std::string missing = worker.folder() / "Contents/Helpers/delver";
    EXPECT_EQ(runFrom(missing), "The scan worker is missing: " + missing
                                    + " does not exist. The tallyroom installation is incomplete: reinstall tallyroom.");
    chmod(worker.path().c_str(), 0644);
    EXPECT_EQ(runFrom(worker.path()), "The scan worker cannot be run: " + worker.path()
                                          + " is not executable. The tallyroom installation is incomplete: reinstall tallyroom.");
}

TEST(Job, ASignalIsWordedAsWhatItIs)
{
    const FakeWorker crashing(std::string("printf '%s\\n' '") + tick(1) + "'\nkill -SEGV $$");
    const JobRun run = runJob(crashing);
    EXPECT_EQ(run.ticks.size(), 1u);
    EXPECT_EQ(run.error.toStdString(), "The scan worker " + crashing.path() + " crashed with signal "
                                           + std::to_string(SIGSEGV) + " (" + strsignal(SIGSEGV)
                                           + "). If this happens again, reinstall tallyroom.");

    const FakeWorker talking("printf 'Half a thought' >&2\nkill -ABRT $$");
    EXPECT_TRUE(runJob(talking).error.startsWith("Half a thought\nThe scan worker ")) << "its own words come first";

    const FakeWorker killed("kill -KILL $$");
    const QString error = runJob(killed, QStringLiteral("delete"), QByteArray("{}")).error;
    EXPECT_EQ(error.toStdString(), "The scan worker was killed by signal " + std::to_string(SIGKILL) + " ("
                                       + strsignal(SIGKILL)
                                       + ") before it finished: the system may have run short of memory, or "
                                         "another program ended it.");
    EXPECT_FALSE(error.contains("reinstall")) << "a kill says nothing about the installation";

    const FakeWorker hungUp("kill -HUP $$");
    EXPECT_EQ(runJob(hungUp).error.toStdString(),
              "The scan worker was ended by signal " + std::to_string(SIGHUP) + " (" + strsignal(SIGHUP)
                  + ") before it finished.");
}
