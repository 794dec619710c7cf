// Running one piece of work in a forked child with a deadline; its result comes back over a pipe.
#pragma once

#include <chrono>
#include <functional>
#include <string>

/// How the child ended.
enum class ChildEnd {
    kFinished,  // exited with status 0 after handing back its result
    kTimedOut,  // passed the deadline and was killed with SIGKILL
    kFailed,    // exited with another status or was ended by a signal
};

/// What the child handed back and how it ended.
struct child_result {
    ChildEnd eEnd;
    std::string strPayload;  // everything the work returned (only meaningful for kFinished)
    int iWaitStatus;         // as waitpid gives it; -1 when the child could not be started
};

/// Runs work in a forked child and waits for it at most until the deadline; a child still
/// running then is killed and reaped. In the child, standard output goes to standard error, so
/// that nothing the libraries print can reach the parent's output. Prints nothing.
child_result RunChild(const std::function<std::string()>& work,
                      std::chrono::steady_clock::duration deadline);

/// A description of a failed child's end ("ended by signal 11", "exited with status 1", "could
/// not be started").
std::string DescribeChildEnd(int waitStatus);
