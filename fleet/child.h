// Running pieces of work in forked children with deadlines, several at once; each result comes
// back over a pipe. A child that has begun to write to a scanner is never killed.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

/// How a child ended.
enum class ChildEnd {
    kFinished,    // exited with status 0 after handing back its result
    kTimedOut,    // passed its deadline while reading and was killed with SIGKILL
    kFailed,      // exited with another status or was ended by a signal
    kNotStarted,  // the run's last moment to start children had passed
};

/// What a child handed back and how it ended.
struct child_result {
    ChildEnd eEnd;
    std::string strPayload;  // everything the work returned (only meaningful for kFinished)
    int iWaitStatus;         // as waitpid gives it; -1 when the child could not be started
    bool bWrote;             // the child began its write phase, and was then waited for
    double dSeconds;         // from its start to its end, to the microsecond
};

/// The limits of a run of children.
struct child_limits {
    int iParallel = 1;  // children at once
    std::chrono::steady_clock::duration dDeadline =
        std::chrono::seconds(10);  // each, from its start
    // No child is started after it, and none is left reading past it.
    std::chrono::steady_clock::time_point tUntil = std::chrono::steady_clock::time_point::max();
};

/// Runs each piece of work in a forked child of its own, at most iParallel at once, started in
/// the order given; results in that order. A child still reading at its deadline (or at tUntil)
/// is killed and reaped; one that has called EnterWritePhase is waited for however long it takes.
/// In a child, standard output goes to standard error, so that nothing the libraries print can
/// reach the parent's output; a child dies with its parent unless it writes. Prints nothing.
std::vector<child_result> RunChildren(const std::vector<std::function<std::string()>>& work,
                                      const child_limits& limits);

/// One piece of work in a child with a deadline (RunChildren with one child).
child_result RunChild(const std::function<std::string()>& work,
                      std::chrono::steady_clock::duration deadline);

/// Called by a child's work before its first change to a scanner: from here on the parent waits
/// for the child whatever its deadline, the child outlives its parent, and the terminal signals
/// (and SIGPIPE) are ignored, as the tool ignores them for its whole run. Does nothing outside a
/// child of RunChildren.
void EnterWritePhase();

/// The seconds since start, to the microsecond: finer digits say nothing about a run.
double SecondsSince(std::chrono::steady_clock::time_point start);

/// A description of a failed child's end ("ended by signal 11", "exited with status 1", "could
/// not be started").
std::string DescribeChildEnd(int waitStatus);
