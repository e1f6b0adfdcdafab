#include "WorkerRun.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> environmentWithHome(const std::string& home)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry)
        if (home.empty() || std::string_view(*entry).substr(0, 5) != "HOME=")
            env.emplace_back(*entry);
    if (!home.empty())
        env.push_back("HOME=" + home);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}

WorkerRun WorkerRun::of(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& input, const std::string& home)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC))
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> argv {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = environmentWithHome(home);
    pid_t pid = 0;
    const int launched = posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers(argv).data(), pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (launched != 0)
        throw std::runtime_error("cannot start " + program);

    WorkerRun run;
    size_t written = 0;
    int inFd = in[1];
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    } else {
        fcntl(inFd, F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    char buffer[65536];
    while (outOpen || errOpen) {
        pollfd fds[3] = {{out[0], short(outOpen ? POLLIN : 0), 0}, {err[0], short(errOpen ? POLLIN : 0), 0},
                         {inFd, POLLOUT, 0}};
        if (poll(fds, inFd >= 0 ? 3 : 2, -1) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (!fds[i].revents)
                continue;
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0)
                (i == 0 ? run.out : run.err).append(buffer, size_t(got));
            else
                (i == 0 ? outOpen : errOpen) = false;
        }
        if (inFd >= 0 && fds[2].revents) {
            const ssize_t put = write(inFd, input.data() + written, input.size() - written);
            if (put > 0)
                written += size_t(put);
            if (put < 0 || written == input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    if (inFd >= 0)
        close(inFd);
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}
