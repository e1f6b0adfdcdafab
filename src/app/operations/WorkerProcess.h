#pragma once

#include <sys/types.h>

// A running worker, held through a process descriptor so that a signal can never reach
// another process that later got the same id.
class WorkerProcess {
public:
    WorkerProcess(pid_t pid, int pidFd);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const;
    // True when the signal was delivered.
    bool signal(int number) const;

private:
    pid_t pid_;
    int pidFd_;
};
