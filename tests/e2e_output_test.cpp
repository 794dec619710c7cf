// Standard output that cannot be written (also to a reader that went away) is reported whatever
// the command, a change made before stays made, and closed standard descriptors never become the
// files the run opens.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/tool_run.h"

namespace {

struct ShellRun {
    std::string err;
    int status;  // the tool's exit status as the shell saw it
};

// Runs the simulator tool through the shell, with redirections of its own, on the fleet. The
// redirections may name "$gone", a named pipe that no one reads once the tool has opened it.
ShellRun RunWithRedirections(const SimFleet& fleet, const std::string& args,
                             const std::string& redirections) {
    std::string err = fleet.dir() + "/stderr";
    std::string script = fleet.dir() + "/run.sh";
    // Standard error goes to a file first, so that a row may close it again.
    WriteWholeFile(script, "gone='" + fleet.dir() + "/gone'; mkfifo \"$gone\"\nORVEX_SIM_FLEET='" +
                               fleet.fleetPath() + "' '" + ORVEX_TEST_TOOL + "' " + args + " 2>'" +
                               err + "' " + redirections +
                               "\nstatus=${PIPESTATUS[0]}; rm -f \"$gone\"; exit $status\n");
    int status = std::system(("bash '" + script + "'").c_str());
    std::string text = ReadWholeFile(err);
    std::remove(err.c_str());
    std::remove(script.c_str());
    return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(OutputRun, AFailedWriteIsReportedAndEndsWithExitOne) {
    const std::string full = "orvexconsumables: write error: No space left on device\n";
    const std::string closed = "orvexconsumables: write error: Bad file descriptor\n";
    const std::string broken = "orvexconsumables: write error: Broken pipe\n";
    // The tool's standard output is the pipe's only end: its reader is gone before it writes.
    const std::string gone = "3<>\"$gone\" >\"$gone\" 3<&-";
    struct Row {
        std::string args;
        std::string redirections;
        std::string err;
        int status;
        bool changes;
    };
    const Row rows[] = {
        {"", ">/dev/full", full, 1, false},
        {"-L", ">/dev/full", full, 1, false},
        {"-h", ">/dev/full", full, 1, false},
        {"-V", ">/dev/full", full, 1, false},
        {"--sleeptimer 35", ">/dev/full", full, 1, true},
        {"--pick-roller-clear", ">&-", closed, 1, true},
        {"--sleeptimer 25", gone, broken, 1, true},
        {"-L", gone, broken, 1, false},
        // Nothing was written: the run's own code stands.
        {"--bogus", ">/dev/full",
         std::string(ORVEX_TEST_TOOL) + ": unrecognized option '--bogus'\n", 3, false},
        {"", "<&- | head -c 1 >/dev/null", "", 0, false},
        {"", "<&- >/dev/null", "", 0, false},
    };
    for (const Row& row : rows) {
        SimFleet fleet = SimFleet::FromFixture("sample.json");
        std::string before = fleet.FleetText();
        ShellRun run = RunWithRedirections(fleet, row.args, row.redirections);
        EXPECT_EQ(run.status, row.status) << row.args << " " << row.redirections;
        EXPECT_EQ(run.err, row.err) << row.args << " " << row.redirections;
        EXPECT_EQ(fleet.FleetText() != before, row.changes) << row.args << " " << row.redirections;
    }
}

TEST(OutputRun, ClosedDescriptorsDoNotBecomeTheFilesOfTheRun) {
    for (const std::string redirections : {">&-", "<&- >&- 2>&-"}) {
        SimFleet fleet = SimFleet::FromFixture("sample.json");
        RunWithRedirections(fleet, "--info", redirections);
        for (const auto& entry : std::filesystem::directory_iterator(fleet.dir())) {
            EXPECT_EQ(ReadWholeFile(entry.path()).find("Device Info:"), std::string::npos)
                << entry.path() << " after " << redirections;
        }
    }
}

}  // namespace
