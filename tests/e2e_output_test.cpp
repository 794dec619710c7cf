// Standard output that cannot be written is reported whatever the command, a change made before
// stays made, and closed standard descriptors never become the files the run opens.
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

// Runs the simulator tool through the shell, with redirections of its own, on the fleet.
ShellRun RunWithRedirections(const SimFleet& fleet, const std::string& args,
                             const std::string& redirections) {
    std::string err = fleet.dir() + "/stderr";
    std::string script = fleet.dir() + "/run.sh";
    // Standard error goes to a file first, so that a row may close it again.
    WriteWholeFile(script, "ORVEX_SIM_FLEET='" + fleet.fleetPath() + "' '" + ORVEX_TEST_TOOL +
                               "' " + args + " 2>'" + err + "' " + redirections +
                               "\nexit ${PIPESTATUS[0]}\n");
    int status = std::system(("bash '" + script + "'").c_str());
    std::string text = ReadWholeFile(err);
    std::remove(err.c_str());
    std::remove(script.c_str());
    return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(OutputRun, AFailedWriteIsReportedAndEndsWithExitOne) {
    const std::string full = "orvexconsumables: write error: No space left on device\n";
    const std::string closed = "orvexconsumables: write error: Bad file descriptor\n";
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
        // A reader that goes away may end the run by SIGPIPE, quietly.
        EXPECT_TRUE(run.status == row.status || (row.status == 0 && run.status == 141))
            << row.args << " " << row.redirections << ": " << run.status;
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
