// System calls refused as an old kernel or a sandbox's filter refuses them: the failure
// names the call and the path instead of blaming a change on the disk.

#include "DelverHarness.h"
#include "shared/Problem.h"
#include "worker/Remove.h"
#include "worker/Seam.h"

#include <cerrno>
#include <cstring>
#include <cstddef>
#include <fcntl.h>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

using namespace harness;

namespace {

// From now on every `call` of this process fails with `error`.
bool refuse(long call, int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<uint32_t>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program {static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// What `work` says, run in a child process, since a filter cannot be lifted again.
std::string inChild(const std::function<std::string()>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::string said = work();
        const bool written = write(fds[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return said;
}

// The reason removeEntry gave for leaving the file, or "" when it removed it.
std::string removal(const json& row, const DiskScope& scope)
{
    try {
        Worker::removeEntry(row.at("raw"), Stamp::fromParts(row.at("signature")), false, scope);
        return "";
    } catch (const Problem& problem) {
        return problem.description();
    }
}

}

TEST(RefusedCall, AKernelWithoutOpenat2IsNamedWithTheFolder)
{
    Case c;
    Files::make(c.at("sub/big.bin"), 1000);
    const json scan = scanned(c);
    const json row = *rowOf(scan, c.at("sub/big.bin"));
    const DiskScope scope(c.root, false, c.data);

    for (const int error : {ENOSYS, EPERM}) {
        SCOPED_TRACE(error);
        const std::string reason = std::strerror(error);
        EXPECT_EQ(inChild([&] { return refuse(SYS_openat2, error) ? removal(row, scope) : "no filter"; }),
                  "Cannot open the folder that holds the file: the system refused openat2 on " + c.at("sub") + " ("
                      + reason + ").");
        const json request = {{"report", scan.at("report")}, {"rows", json::array({row})}};
        EXPECT_EQ(inChild([&] {
                      if (!refuse(SYS_openat2, error))
                          return std::string("no filter");
                      try {
                          Worker::remove(scope, request.dump());
                          return std::string("removed");
                      } catch (const Problem& problem) {
                          return problem.description();
                      }
                  }),
                  "Cannot open scan report: the system refused openat2 on " + c.reports() + " (" + reason + ").");
    }
    EXPECT_TRUE(Files::exists(c.at("sub/big.bin")));
}

TEST(RefusedCall, AnExaminationRefusedIsNamedWithTheFile)
{
    Case c;
    Files::make(c.at("big.bin"), 1000);
    const json scan = scanned(c);
    const json row = *rowOf(scan, c.at("big.bin"));
    const DiskScope scope(c.root, false, c.data);
    const std::string said = inChild([&] {
        Seam::hook = [](std::string_view point) {
            if (point == "removal.parentOpened" && !refuse(SYS_statx, EACCES))
                _exit(2);
        };
        return removal(row, scope);
    });
    EXPECT_EQ(said, "Cannot examine the file: statx failed on " + c.at("big.bin") + " (Permission denied).");
    EXPECT_TRUE(Files::exists(c.at("big.bin")));
}
