#pragma once

#include <cerrno>
#include <csignal>
#include <ctime>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace lumarra::test {

// Runs `work` in a child process; the child's exit status is 0 when it
// returned true.
template <typename Work>
pid_t Spawn(Work work)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work() ? 0 : 1);
    return pid;
}

// The child's wait status.
inline int WaitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return status;
}

// Runs `work` in a child process and waits at most `timeoutMs` for it: its
// exit status (0 when `work` returned true), or -1 when it still ran and was
// killed. For operations that must fail cleanly rather than block.
template <typename Work>
int ExitStatusWithin(unsigned timeoutMs, Work work)
{
    constexpr long kPollNanoseconds = 2'000'000;
    pid_t pid = Spawn(work);
    if (pid < 0)
        return -1;
    for (unsigned waited = 0; waited < timeoutMs * 1'000'000ull / kPollNanoseconds; ++waited) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        timespec pause { 0, kPollNanoseconds };
        ::nanosleep(&pause, nullptr);
    }
    ::kill(pid, SIGKILL);
    WaitFor(pid);
    return -1;
}

// Starts `write`, a loop of writes that never ends, in a child process
// `rounds` times, kills it with SIGKILL at a random moment within
// `maxRunMicroseconds` and then calls `check(round)` on what it left.
template <typename Write, typename Check>
void KillWritersRepeatedly(int rounds, unsigned maxRunMicroseconds, Write write, Check check)
{
    std::mt19937 random(7);
    for (int round = 0; round < rounds; ++round) {
        pid_t pid = Spawn([&] {
            write();
            return false;
        });
        if (pid < 0)
            return;
        ::usleep(200 + random() % maxRunMicroseconds);
        ::kill(pid, SIGKILL);
        WaitFor(pid);
        check(round);
    }
}

}
