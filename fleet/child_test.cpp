// Tests of the child runner: results handed back, failures, the deadline, the child's output.
#include "fleet/child.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <utility>

#include "fleet/termination.h"
#include "tests/support/files.h"

namespace {

using std::chrono::milliseconds;

struct ChildCase {
    const char* what;
    std::function<std::string()> work;
    ChildEnd end;
    std::string payload;
    std::string description;  // of the end, for a failed child
};

// Each child is reaped, a late one killed at its deadline of a second.
TEST(RunChild, HandsBackTheResultOrSaysHowTheChildEnded) {
    const std::string large(200000, 'x');  // more than a pipe holds at once
    const std::vector<ChildCase> cases = {
        {"result", [] { return std::string("a\0b", 3); }, ChildEnd::kFinished,
         std::string("a\0b", 3), ""},
        {"large result", [&] { return large; }, ChildEnd::kFinished, large, ""},
        {"exception", []() -> std::string { throw 1; }, ChildEnd::kFailed, "",
         "exited with status 1"},
        {"exit", []() -> std::string { _exit(4); }, ChildEnd::kFailed, "", "exited with status 4"},
        // A signal that the sanitizers leave to the default action, so the child dies by it.
        {"signal",
         []() -> std::string {
             raise(SIGTERM);
             return "";
         },
         ChildEnd::kFailed, "", "ended by signal 15"},
        {"late",
         []() -> std::string {
             std::this_thread::sleep_for(std::chrono::seconds(30));
             return "late";
         },
         ChildEnd::kTimedOut, "", ""},
    };
    for (const ChildCase& c : cases) {
        child_result result = RunChild(c.work, std::chrono::seconds(1));
        EXPECT_EQ(result.eEnd, c.end) << c.what;
        if (c.end == ChildEnd::kFailed) {
            EXPECT_EQ(DescribeChildEnd(result.iWaitStatus), c.description) << c.what;
        } else {
            EXPECT_EQ(result.strPayload, c.payload) << c.what;
        }
        EXPECT_EQ(result.dSeconds >= 1.0, c.end == ChildEnd::kTimedOut) << result.dSeconds;
        EXPECT_LT(result.dSeconds, 2.0) << c.what;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << c.what << ": no child is left unreaped";
    }
}

TEST(RunChild, WhatTheChildPrintsGoesToStandardError) {
    TempDir dir;
    std::string outPath = dir.path() + "/out", errPath = dir.path() + "/err";
    fflush(nullptr);
    pid_t tester = fork();
    if (tester == 0) {
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) {
            _exit(2);
        }
        child_result result = RunChild(
            [] {
                std::printf("from the library\n");
                std::fflush(stdout);
                return std::string("done");
            },
            std::chrono::seconds(10));
        _exit(result.strPayload == "done" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(tester, &status, 0), tester);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWholeFile(outPath), "");
    EXPECT_EQ(ReadWholeFile(errPath), "from the library\n");
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A child's work that sleeps and hands back when it ran: "<start> <end>".
std::function<std::string()> Sleeper(int milliseconds) {
    return [milliseconds] {
        double start = Now();
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return std::to_string(start) + " " + std::to_string(Now());
    };
}

TEST(RunChildren, AtMostTheParallelNumberAtOnceResultsInOrder) {
    for (int parallel : {1, 3}) {
        child_limits limits;
        limits.iParallel = parallel;
        std::vector<std::function<std::string()>> work(6, Sleeper(100));
        std::vector<child_result> results = RunChildren(work, limits);
        ASSERT_EQ(results.size(), work.size());
        std::vector<std::pair<double, int>> events;  // +1 at a start, -1 at an end
        for (const child_result& result : results) {
            ASSERT_EQ(result.eEnd, ChildEnd::kFinished);
            double start = 0, end = 0;
            ASSERT_EQ(std::sscanf(result.strPayload.c_str(), "%lf %lf", &start, &end), 2);
            events.push_back({start, 1});
            events.push_back({end, -1});
        }
        std::sort(events.begin(), events.end());
        int running = 0, most = 0;
        for (const auto& event : events) {
            most = std::max(most, running += event.second);
        }
        EXPECT_EQ(most, parallel);
    }
}

TEST(RunChildren, AChildThatWritesIsWaitedForOneThatAsksLateIsKilledFirst) {
    TempDir dir;
    const std::string written = dir.path() + "/written";
    struct Case {
        const char* what;
        int sleepBefore, sleepAfter;  // around the request to write, in milliseconds
        ChildEnd end;
        bool wrote;
    };
    const Case cases[] = {
        {"asks in time, writes past the deadline", 0, 600, ChildEnd::kFinished, true},
        {"asks past the deadline", 600, 0, ChildEnd::kTimedOut, false},
    };
    for (const Case& c : cases) {
        unlink(written.c_str());
        child_result result = RunChild(
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.sleepBefore));
                EnterWritePhase();
                std::this_thread::sleep_for(std::chrono::milliseconds(c.sleepAfter));
                WriteWholeFile(written, "done");
                return std::string("changed");
            },
            milliseconds(300));
        EXPECT_EQ(result.eEnd, c.end) << c.what;
        EXPECT_EQ(result.bWrote, c.wrote) << c.what;
        EXPECT_EQ(ReadWholeFile(written), c.wrote ? "done" : "") << c.what;
    }
}

// A parent process whose child writes, leaving the file "written" in dir 300 ms after it began
// to; the parent is ended by the signal as soon as the child has begun. True when the parent
// ended by the signal.
bool EndParentWhileItsChildWrites(const std::string& dir, int signal) {
    int started[2];
    if (pipe(started) != 0) {
        return false;
    }
    std::fflush(nullptr);
    pid_t parent = fork();
    if (parent == 0) {
        InstallTerminationHandlers();
        RunChild(
            [&] {
                EnterWritePhase();
                (void)!write(started[1], "s", 1);
                std::this_thread::sleep_for(milliseconds(300));
                WriteWholeFile(dir + "/written", "done");
                return std::string();
            },
            std::chrono::seconds(30));
        _exit(0);
    }
    close(started[1]);
    char byte = 0;
    bool begun = read(started[0], &byte, 1) == 1;
    close(started[0]);
    kill(parent, signal);
    int status = 0;
    return begun && waitpid(parent, &status, 0) == parent && WIFSIGNALED(status);
}

// The children that only read die with their parent (the status program's whole-program tests).
TEST(RunChildren, AWritingChildOutlivesItsParent) {
    for (int signal : {SIGTERM, SIGHUP, SIGKILL}) {
        TempDir dir;
        const std::string written = dir.path() + "/written";
        ASSERT_TRUE(EndParentWhileItsChildWrites(dir.path(), signal)) << strsignal(signal);
        for (int i = 0; i < 300 && ReadWholeFile(written).empty(); ++i) {
            std::this_thread::sleep_for(milliseconds(10));
        }
        EXPECT_EQ(ReadWholeFile(written), "done") << strsignal(signal);
    }
}

}  // namespace
