#include "app/operations/WorkerProcess.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

WorkerProcess::WorkerProcess(pid_t pid, int pidFd) : pid_(pid), pidFd_(pidFd)
{
}

WorkerProcess::~WorkerProcess()
{
    if (pidFd_ >= 0)
        close(pidFd_);
}

bool WorkerProcess::running() const
{
    if (pidFd_ < 0)
        return false;
    // The descriptor turns readable when the process has exited.
    pollfd ready {pidFd_, POLLIN, 0};
    return poll(&ready, 1, 0) == 0;
}

bool WorkerProcess::signal(int number) const
{
    return pidFd_ >= 0 && syscall(SYS_pidfd_send_signal, pidFd_, number, nullptr, 0) == 0;
}
