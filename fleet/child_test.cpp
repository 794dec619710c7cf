// Tests of the child runner: results handed back, failures, the deadline, the child's output.
#include "fleet/child.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

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
    };
    for (const ChildCase& c : cases) {
        child_result result = RunChild(c.work, std::chrono::seconds(10));
        EXPECT_EQ(result.eEnd, c.end) << c.what;
        if (c.end == ChildEnd::kFinished) {
            EXPECT_EQ(result.strPayload, c.payload) << c.what;
        } else {
            EXPECT_EQ(DescribeChildEnd(result.iWaitStatus), c.description) << c.what;
        }
    }
}

TEST(RunChild, KillsAChildThatPassesTheDeadline) {
    pid_t child = 0;
    int pidPipe[2];
    ASSERT_EQ(pipe(pidPipe), 0);
    auto start = std::chrono::steady_clock::now();
    child_result result = RunChild(
        [&]() -> std::string {
            pid_t self = getpid();
            if (write(pidPipe[1], &self, sizeof self) != sizeof self) {
                return "";
            }
            std::this_thread::sleep_for(std::chrono::seconds(30));
            return "late";
        },
        milliseconds(300));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(read(pidPipe[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
    close(pidPipe[0]);
    close(pidPipe[1]);
    EXPECT_EQ(result.eEnd, ChildEnd::kTimedOut);
    EXPECT_EQ(result.strPayload, "");
    EXPECT_GE(seconds, 0.3);
    EXPECT_LT(seconds, 1.3);
    EXPECT_EQ(kill(child, 0), -1) << "the child was reaped";
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

}  // namespace
