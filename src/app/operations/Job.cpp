#include "app/operations/Job.h"

#include "app/session/SessionDisk.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"
#include "shared/platform/ReadAll.h"
#include "shared/platform/UniqueFd.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int utilityNiceness = 10;

const char* const reinstall = " The tallyroom installation is incomplete: reinstall tallyroom.";

// A worker that cannot start is a broken installation, not a problem with the disk.
TrashProblem unstartable(const QString& worker, int error)
{
    const std::string path = worker.toStdString();
    if (error == ENOENT)
        return TrashProblem("The scan worker is missing: " + path + " does not exist." + reinstall);
    if (error == EACCES)
        return TrashProblem("The scan worker cannot be run: " + path + " is not executable." + reinstall);
    return TrashProblem("The scan worker " + path + " could not be started (" + std::strerror(error) + ")." + reinstall);
}

// The controller ends a cancelled scan with SIGTERM; any other signal ended the run early.
bool crashed(int status)
{
    return WIFSIGNALED(status) && WTERMSIG(status) != SIGTERM;
}

// Signals a process raises on itself when it breaks, as a damaged executable can.
bool selfInflicted(int number)
{
    switch (number) {
    case SIGSEGV:
    case SIGBUS:
    case SIGILL:
    case SIGFPE:
    case SIGABRT:
    case SIGSYS:
    case SIGTRAP:
        return true;
    default:
        return false;
    }
}

std::string signalText(int number)
{
    return "signal " + std::to_string(number) + " (" + strsignal(number) + ")";
}

std::string signalCause(const QString& worker, int number)
{
    if (selfInflicted(number))
        return "The scan worker " + worker.toStdString() + " crashed with " + signalText(number)
               + ". If this happens again, reinstall tallyroom.";
    if (number == SIGKILL)
        return "The scan worker was killed by " + signalText(number)
               + " before it finished: the system may have run short of memory, or another program ended it.";
    return "The scan worker was ended by " + signalText(number) + " before it finished.";
}

TrashProblem crash(const QString& worker, int status, const QString& output)
{
    const std::string said = output.isEmpty() ? std::string() : output.toStdString() + "\n";
    return TrashProblem(said + signalCause(worker, WTERMSIG(status)));
}

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

Pipe makePipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw PosixError(errno);
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

std::shared_ptr<WorkerProcess> launch(const QString& worker, const QString& operation, const std::string& scope,
                                      const Pipe& input, const Pipe& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write.get(), STDERR_FILENO);
    std::string program = worker.toStdString();
    std::string operationName = operation.toStdString();
    std::string scopeText = scope;
    char* argv[] = {program.data(), operationName.data(), scopeText.data(), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw unstartable(worker, failed);
    setpriority(PRIO_PROCESS, static_cast<id_t>(pid), utilityNiceness);
    return std::make_shared<WorkerProcess>(pid, static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
}

// Writes with SIGPIPE held back on this thread, so a worker that already exited makes the
// write fail with EPIPE instead of ending the application.
void writeWithoutSigpipe(int fd, const QByteArray& bytes)
{
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    int error = 0;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            error = errno;
            break;
        }
        done += written;
    }
    if (error == EPIPE) {
        const timespec immediately {0, 0};
        sigtimedwait(&pipeSignal, nullptr, &immediately);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (error)
        throw PosixError(error);
}

int waitForExit(const WorkerProcess& process)
{
    int status = 0;
    while (waitpid(process.pid(), &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Ends a worker that could not be fed; it is reaped so that it leaves no zombie behind.
void abandon(const WorkerProcess& process)
{
    if (process.running())
        process.signal(SIGTERM);
    waitForExit(process);
}

std::optional<Tick> tickOf(const QByteArray& line)
{
    try {
        return Wire::parse(std::string_view(line.constData(), static_cast<size_t>(line.size()))).get<Tick>();
    } catch (const Problem&) {
        // Not a progress line: kept with the other lines to word a failure.
        return std::nullopt;
    }
}

// Splits the output into lines as it arrives; progress lines go to the callback, every
// other complete line is kept to word a failure.
class OutputFraming {
public:
    explicit OutputFraming(const std::function<void(const Tick&)>& progress) : progress_(progress) {}

    void append(const char* bytes, size_t size)
    {
        const qsizetype searchFrom = pending_.size();
        pending_.append(bytes, static_cast<qsizetype>(size));
        qsizetype start = 0;
        for (qsizetype end = pending_.indexOf('\n', searchFrom); end >= 0; end = pending_.indexOf('\n', start)) {
            const QByteArray line = pending_.mid(start, end - start);
            if (const auto tick = tickOf(line); tick && progress_)
                progress_(*tick);
            else if (!tick)
                diagnostics_ += line + '\n';
            start = end + 1;
        }
        pending_.remove(0, start);
    }

    const QByteArray& tail() const { return pending_; }
    QByteArray failureText() const { return diagnostics_ + pending_; }

private:
    const std::function<void(const Tick&)>& progress_;
    QByteArray pending_;
    QByteArray diagnostics_;
};

}

QByteArray job(const QString& worker, const QString& operation, const std::optional<QByteArray>& request,
               const std::function<void(const Tick&)>& progress,
               const std::function<void(std::shared_ptr<WorkerProcess>)>& launched)
{
    Pipe input = makePipe();
    Pipe output = makePipe();
    const auto scope = SessionDisk::current();
    if (!scope || !scope->valid())
        throw TrashProblem("The selected disk or folder is no longer available. Reconnect it or choose Change Disk.");
    const auto process = launch(worker, operation, scope->toBase64(), input, output);
    input.read.reset();
    output.write.reset();
    if (launched)
        launched(process);

    try {
        if (request)
            writeWithoutSigpipe(input.write.get(), *request);
    } catch (const PosixError&) {
        input.write.reset();
        abandon(*process);
        throw;
    }
    if (close(input.write.release()) != 0) {
        const int error = errno;
        abandon(*process);
        throw PosixError(error);
    }

    OutputFraming framing(progress);
    try {
        readEach(output.read.get(), [&](std::string_view chunk) { framing.append(chunk.data(), chunk.size()); });
    } catch (const PosixError&) {
        // The output ends where it could no longer be read; the exit status tells the rest.
    }
    const int status = waitForExit(*process);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return framing.tail();
    const QString text = QString::fromUtf8(framing.failureText());
    if (crashed(status))
        throw crash(worker, status, text);
    if (text.isEmpty())
        throw TrashProblem("The scan worker stopped unexpectedly. Check the selected disk and try again.");
    throw TrashProblem(text.toStdString());
}
