// Tests of the child runner: results handed back, failures, the deadline and the write phase, the
// child's output, the children at once, a writing child's parent ended.
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
#include "tests/support/process.h"

namespace {

using std::chrono::milliseconds;

struct ChildCase {
    const char* what;
    std::function<std::string()> work;
    ChildEnd end;
    std::string handedBack;  // the payload; for a failed child, the description of its end
    bool wrote;
};

// Work that sleeps and hands back "slept", having asked to write first when `write` is set.
std::function<std::string()> Sleeping(std::chrono::steady_clock::duration sleep, bool write) {
    return [=] {
        if (write) {
            EnterWritePhase();
        }
        std::this_thread::sleep_for(sleep);
        return std::string("slept");
    };
}

// Each child is reaped, a late one killed at its deadline of a second unless it asked to write
// before it (one that asks after it is the late one: killed while it reads).
TEST(RunChild, HandsBackTheResultOrSaysHowTheChildEnded) {
    const std::string large(200000, 'x');  // more than a pipe holds at once
    const std::vector<ChildCase> cases = {
        {"result", [] { return std::string("a\0b", 3); }, ChildEnd::kFinished,
         std::string("a\0b", 3), false},
        {"large result", [&] { return large; }, ChildEnd::kFinished, large, false},
        {"exception", []() -> std::string { throw 1; }, ChildEnd::kFailed, "exited with status 1",
         false},
        {"exit", []() -> std::string { _exit(4); }, ChildEnd::kFailed, "exited with status 4",
         false},
        // A signal that the sanitizers leave to the default action, so the child dies by it.
        {"signal", []() -> std::string { return raise(SIGTERM), ""; }, ChildEnd::kFailed,
         "ended by signal 15", false},
        {"late", Sleeping(std::chrono::seconds(30), false), ChildEnd::kTimedOut, "", false},
        {"writes past the deadline", Sleeping(milliseconds(1200), true), ChildEnd::kFinished,
         "slept", true},
    };
    for (const ChildCase& c : cases) {
        child_result result = RunChild(c.work, std::chrono::seconds(1));
        EXPECT_EQ(result.eEnd, c.end) << c.what;
        EXPECT_EQ(
            c.end == ChildEnd::kFailed ? DescribeChildEnd(result.iWaitStatus) : result.strPayload,
            c.handedBack)
            << c.what;
        EXPECT_EQ(result.bWrote, c.wrote) << c.what;
        EXPECT_EQ(result.dSeconds >= 1.0, c.end == ChildEnd::kTimedOut || c.wrote)
            << result.dSeconds;
        EXPECT_LT(result.dSeconds, 2.0) << c.what;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << c.what << ": no child is left unreaped";
    }
}

TEST(RunChild, WhatTheChildPrintsGoesToStandardError) {
    RunResult run = RunInChild([] {
        child_result result = RunChild(
            [] {
                std::printf("from the library\n");
                std::fflush(stdout);
                return std::string("done");
            },
            std::chrono::seconds(10));
        std::fprintf(stderr, "handed back %s\n", result.strPayload.c_str());
    });
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "from the library\nhanded back done\n");
}

// A child's work that sleeps 100 ms and hands back when it ran: "<start> <end>", in seconds.
std::string Sleep100Milliseconds() {
    auto now = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    double start = now();
    std::this_thread::sleep_for(milliseconds(100));
    return std::to_string(start) + " " + std::to_string(now());
}

TEST(RunChildren, AtMostTheParallelNumberAtOnceResultsInOrder) {
    for (int parallel : {1, 3}) {
        child_limits limits;
        limits.iParallel = parallel;
        std::vector<child_result> results =
            RunChildren(std::vector<std::function<std::string()>>(6, Sleep100Milliseconds), limits);
        ASSERT_EQ(results.size(), 6u);
        std::vector<std::pair<double, int>> events;  // +1 at a start, -1 at an end
        for (const child_result& result : results) {
            ASSERT_EQ(result.eEnd, ChildEnd::kFinished);
            double start = 0, end = 0;
            ASSERT_EQ(std::sscanf(result.strPayload.c_str(), "%lf %lf", &start, &end), 2);
            events.insert(events.end(), {{start, 1}, {end, -1}});
        }
        std::sort(events.begin(), events.end());
        int running = 0, most = 0;
        for (const auto& event : events) {
            most = std::max(most, running += event.second);
        }
        EXPECT_EQ(most, parallel);
    }
}

// A parent ended by a signal as soon as its child has begun to write: the child writes on, and
// leaves the file 300 ms later. The children that only read die with their parent (the status
// program's whole-program tests).
TEST(RunChildren, AWritingChildOutlivesItsParent) {
    for (int signal : {SIGTERM, SIGHUP, SIGKILL}) {
        TempDir dir;
        const std::string written = dir.path() + "/written";
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        std::fflush(nullptr);
        pid_t parent = fork();
        if (parent == 0) {
            InstallTerminationHandlers();
            RunChild(
                [&] {
                    EnterWritePhase();
                    (void)!write(started[1], "s", 1);
                    std::this_thread::sleep_for(milliseconds(300));
                    WriteWholeFile(written, "done");
                    return std::string();
                },
                std::chrono::seconds(30));
            _exit(0);
        }
        close(started[1]);
        char byte = 0;
        ASSERT_EQ(read(started[0], &byte, 1), 1) << strsignal(signal);
        close(started[0]);
        kill(parent, signal);
        EXPECT_TRUE(WIFSIGNALED(WaitForChild(parent))) << strsignal(signal);
        for (int i = 0; i < 300 && ReadWholeFile(written).empty(); ++i) {
            std::this_thread::sleep_for(milliseconds(10));
        }
        EXPECT_EQ(ReadWholeFile(written), "done") << strsignal(signal);
    }
}

}  // namespace
