// A forked child for one piece of work: its result read with a deadline, killed when late.
#include "fleet/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "fleet/output.h"

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void RunWorkAndExit(const std::function<std::string()>& work, int fd) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    int status = 1;
    try {
        status = WriteAll(fd, work()) ? 0 : 1;
    } catch (...) {
        status = 1;
    }
    _exit(status);  // no exit handlers or buffers of the parent's run
}

int MillisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1000000));
}

// Reads until end of file; false when the deadline comes first.
bool ReadUntil(int fd, Clock::time_point deadline, std::string* payload) {
    char buffer[4096];
    while (Clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        int count = poll(&ready, 1, MillisecondsUntil(deadline));
        if (count <= 0) {
            continue;  // an interruption or the deadline: the loop condition decides
        }
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return true;  // end of file; a read error is judged by how the child ended
        }
        payload->append(buffer, static_cast<size_t>(got));
    }
    return false;
}

// Reaps the child once it has ended; false when the deadline comes first. The child closes its
// end of the pipe only on its way out, so this rarely waits at all.
bool ReapUntil(pid_t pid, Clock::time_point deadline, int* status) {
    for (;;) {
        pid_t reaped = waitpid(pid, status, WNOHANG);
        if (reaped == pid || (reaped < 0 && errno != EINTR)) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void KillAndReap(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

child_result RunChild(const std::function<std::string()>& work,
                      std::chrono::steady_clock::duration deadline) {
    Clock::time_point end = Clock::now() + deadline;
    child_result result{ChildEnd::kFailed, "", -1};  // -1: never started
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return result;
    }
    std::fflush(nullptr);  // nothing buffered may be written twice
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RunWorkAndExit(work, fds[1]);
    }
    close(fds[1]);
    bool finished = pid > 0 && ReadUntil(fds[0], end, &result.strPayload);
    close(fds[0]);
    if (pid < 0) {
        return result;
    }
    if (!finished || !ReapUntil(pid, end, &result.iWaitStatus)) {
        KillAndReap(pid);
        return child_result{ChildEnd::kTimedOut, "", 0};
    }
    bool cleanExit = WIFEXITED(result.iWaitStatus) && WEXITSTATUS(result.iWaitStatus) == 0;
    result.eEnd = cleanExit ? ChildEnd::kFinished : ChildEnd::kFailed;
    return result;
}

std::string DescribeChildEnd(int waitStatus) {
    if (waitStatus < 0) {
        return "could not be started";
    }
    if (WIFSIGNALED(waitStatus)) {
        return "ended by signal " + std::to_string(WTERMSIG(waitStatus));
    }
    if (WIFEXITED(waitStatus)) {
        return "exited with status " + std::to_string(WEXITSTATUS(waitStatus));
    }
    return "ended";
}
