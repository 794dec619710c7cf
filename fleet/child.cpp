// Forked children for the fleet's work: started in order, several at once, each result read with
// a deadline of its own; a child late while reading is killed, one that writes is waited for.
#include "fleet/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "fleet/output.h"
#include "fleet/termination.h"

namespace {

using Clock = std::chrono::steady_clock;

// The signals that a terminal can send, and SIGPIPE: a child that writes ignores them all.
const int kWriteShieldSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGPIPE};

// In a child: its end of the channel on which it asks the parent's leave to write.
int g_iWritePhaseFd = -1;

const char kWriteAsked = 'w';
const char kWriteGranted = 'g';

// One child while it runs.
struct running_child {
    size_t uiIndex;  // of its work
    pid_t pid;
    int iResultFd;  // -1 once at its end
    int iPhaseFd;   // -1 once the write phase was granted, or the child ended
    Clock::time_point tStart;
    Clock::time_point tDeadline;  // while it reads
    bool bWriting;
    std::string strPayload;
};

[[noreturn]] void RunWorkAndExit(const std::function<std::string()>& work, int resultFd,
                                 int phaseFd, pid_t parent) {
    RestoreTerminationDefaults();
    // Dies with its parent, also with a parent already gone before this line.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) {
        _exit(1);
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
    g_iWritePhaseFd = phaseFd;
    int status = 1;
    try {
        status = WriteAll(resultFd, work()) ? 0 : 1;
    } catch (...) {
        status = 1;
    }
    _exit(status);  // no exit handlers or buffers of the parent's run
}

void CloseFd(int* fd) {
    if (*fd >= 0) {
        close(*fd);
        *fd = -1;
    }
}

// Starts a child for the work; false when no pipe or process could be had.
bool Start(const std::function<std::string()>& work, size_t index, Clock::duration deadline,
           Clock::time_point until, running_child* child) {
    int result[2];
    int phase[2];  // both ways: the child asks to write, the parent grants it
    if (pipe2(result, O_CLOEXEC) != 0) {
        return false;
    }
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, phase) != 0) {
        close(result[0]);
        close(result[1]);
        return false;
    }
    std::fflush(nullptr);  // nothing buffered may be written twice
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        close(result[0]);
        close(phase[0]);
        RunWorkAndExit(work, result[1], phase[1], parent);
    }
    close(result[1]);
    close(phase[1]);
    if (pid < 0) {
        close(result[0]);
        close(phase[0]);
        return false;
    }
    WatchChild(pid);
    Clock::time_point now = Clock::now();
    *child = {index, pid, result[0], phase[0], now, std::min(now + deadline, until), false, ""};
    return true;
}

// Grants a child's request to write if it comes before the deadline: from now on the child is
// spared. The child waits for the grant before its first change, so a child killed at its
// deadline has changed nothing.
void Grant(running_child* child) {
    char byte = 0;
    if (read(child->iPhaseFd, &byte, 1) == 1 && byte == kWriteAsked &&
        Clock::now() < child->tDeadline) {
        child->bWriting = true;
        SpareChild(child->pid);
        ssize_t sent = write(child->iPhaseFd, &kWriteGranted, 1);
        (void)sent;  // not sent: the child is gone
    }
    CloseFd(&child->iPhaseFd);  // granted, or the child is on its way out
}

// Reads what is ready from the child's pipes.
void Drain(running_child* child, short resultEvents, short phaseEvents) {
    if (phaseEvents != 0) {
        Grant(child);
    }
    if (resultEvents != 0) {
        char buffer[4096];
        ssize_t got = read(child->iResultFd, buffer, sizeof buffer);
        if (got > 0) {
            child->strPayload.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            CloseFd(&child->iResultFd);  // its end; a read error is judged by how it ended
        }
    }
}

int MillisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1000));
}

// Waits until a pipe has something, a child's deadline comes, or 1 ms when a child has closed
// its pipe and is still to be reaped.
void WaitForEvents(std::vector<running_child>& children) {
    std::vector<pollfd> fds;
    int timeout = 1000;
    for (const running_child& child : children) {
        fds.push_back({child.iResultFd, POLLIN, 0});
        fds.push_back({child.iPhaseFd, POLLIN, 0});
        if (child.iResultFd < 0) {
            timeout = std::min(timeout, 1);
        } else if (!child.bWriting) {
            timeout = std::min(timeout, MillisecondsUntil(child.tDeadline));
        }
    }
    if (poll(fds.data(), fds.size(), timeout) <= 0) {
        return;  // an interruption or a deadline: the caller looks at the clock
    }
    for (size_t i = 0; i < children.size(); ++i) {
        Drain(&children[i], fds[2 * i].revents, fds[2 * i + 1].revents);
    }
}

void Finish(running_child* child, ChildEnd end, int waitStatus, child_result* result) {
    CloseFd(&child->iResultFd);
    CloseFd(&child->iPhaseFd);
    ForgetChild(child->pid);
    bool clean = WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
    if (end == ChildEnd::kFinished && !clean) {
        end = ChildEnd::kFailed;
    }
    *result = {end, end == ChildEnd::kFinished ? std::move(child->strPayload) : "",
               end == ChildEnd::kTimedOut ? 0 : waitStatus, child->bWriting,
               SecondsSince(child->tStart)};
}

void KillAndReap(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Ends what is done: children that exited after their pipe closed, and children that are late
// while reading. True when the child is finished with.
bool Settle(running_child* child, std::vector<child_result>* results) {
    child_result& result = (*results)[child->uiIndex];
    int status = 0;
    if (child->iResultFd < 0 && waitpid(child->pid, &status, WNOHANG) == child->pid) {
        Finish(child, ChildEnd::kFinished, status, &result);
        return true;
    }
    if (!child->bWriting && Clock::now() >= child->tDeadline) {
        KillAndReap(child->pid);
        Finish(child, ChildEnd::kTimedOut, 0, &result);
        return true;
    }
    return false;
}

}  // namespace

std::vector<child_result> RunChildren(const std::vector<std::function<std::string()>>& work,
                                      const child_limits& limits) {
    std::vector<child_result> results(work.size(),
                                      child_result{ChildEnd::kFailed, "", -1, false, 0.0});
    std::vector<running_child> running;
    size_t next = 0;
    while (next < work.size() || !running.empty()) {
        while (next < work.size() && running.size() < static_cast<size_t>(limits.iParallel)) {
            running_child child{};
            if (Clock::now() >= limits.tUntil) {
                results[next].eEnd = ChildEnd::kNotStarted;
            } else if (Start(work[next], next, limits.dDeadline, limits.tUntil, &child)) {
                running.push_back(std::move(child));
            }
            ++next;
        }
        if (running.empty()) {
            continue;
        }
        WaitForEvents(running);
        running.erase(
            std::remove_if(running.begin(), running.end(),
                           [&](running_child& child) { return Settle(&child, &results); }),
            running.end());
    }
    return results;
}

child_result RunChild(const std::function<std::string()>& work,
                      std::chrono::steady_clock::duration deadline) {
    child_limits limits;
    limits.dDeadline = deadline;
    return RunChildren({work}, limits)[0];
}

void EnterWritePhase() {
    if (g_iWritePhaseFd < 0) {
        return;
    }
    // Until the grant the child may still be killed at its deadline, before any change.
    char byte = 0;
    bool granted = write(g_iWritePhaseFd, &kWriteAsked, 1) == 1 &&
                   read(g_iWritePhaseFd, &byte, 1) == 1 && byte == kWriteGranted;
    close(g_iWritePhaseFd);
    g_iWritePhaseFd = -1;
    if (!granted) {
        _exit(1);  // the parent is gone or refused: change nothing
    }
    for (int signal : kWriteShieldSignals) {
        ::signal(signal, SIG_IGN);
    }
    prctl(PR_SET_PDEATHSIG, 0);
}

double SecondsSince(Clock::time_point start) {
    auto elapsed = std::chrono::round<std::chrono::microseconds>(Clock::now() - start);
    return std::chrono::duration<double>(elapsed).count();
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
