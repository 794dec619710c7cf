// The driver: start-up refusals, teardown order and signal immunity, on in-process fakes.
#include "cli/driver.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/tool_fixture.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

class DriverTest : public ToolFakeServiceTest {
protected:
    void SetUp() override {
        ToolFakeServiceTest::SetUp();
        g_fake.deviceNames = {"ko-999:S1"};
        g_fake.callLogPath = callLog_;
    }

    // Runs the whole driver in a forked child; calls_ receives the entry points it called.
    RunResult Run(std::vector<std::string> args) {
        std::remove(callLog_.c_str());
        args.insert(args.begin(), "orvexconsumables");
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        // The fakes stand in for bound libraries, so the run starts after the binding.
        RunResult result = RunInChild([&] {
            velnor_command_info record;
            std::memset(&record, 0, sizeof record);
            IgnoreTerminalSignals();
            int code = RunWithLibraries(static_cast<int>(args.size()), argv.data(), record);
            fflush(stdout);
            _exit(code);
        });
        calls_ = SplitIntoLines(ReadWholeFile(callLog_));
        return result;
    }

    TempDir dir_;
    std::string callLog_ = dir_.path() + "/calls.log";
    Names calls_;
};

TEST_F(DriverTest, NoScannerAttachedEndsEveryCommandWithExitSix) {
    g_fake.iDeviceCountOverride = 0;
    for (const Names& args : {Names{}, Names{"-h"}, Names{"-V"}, Names{"-L"},
                              Names{"--pick-roller-clear"}, Names{"-d", "ko-999:S1"}}) {
        RunResult result = Run(args);
        EXPECT_EQ(result.out, kNotConnectedLine);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exitCode, 6);
        EXPECT_EQ(calls_, (Names{"korwc_GetDeviceTotalNum() = 0", "exitlibrary() = 1",
                                 "korwc_EndExcusive(NULL) = 1"}));
    }
}

TEST_F(DriverTest, DeviceNameMustBeAttached) {
    g_fake.deviceNames = {"ko-999:S1", "ko-999:S2"};
    RunResult result = Run({"-d", "ko-999:S", "--pick-roller-clear"});
    EXPECT_EQ(result.out, kNotConnectedLine);
    EXPECT_EQ(result.exitCode, 6);
    EXPECT_EQ(EntryPointNames(calls_),
              (Names{"korwc_GetDeviceTotalNum", "korwc_GetDeviceTotalNum", "korwc_GetDeviceName",
                     "korwc_GetDeviceName", "exitlibrary", "korwc_EndExcusive"}));
    EXPECT_EQ(calls_.back(), "korwc_EndExcusive(\"ko-999:S\") = 1");
}

TEST_F(DriverTest, TeardownUnlocksTheThreeModelsWithTheSessionName) {
    struct Row {
        const char* device;
        bool unlocks;
    };
    for (const Row& row : {Row{"VX-901R", true}, Row{"VX-905R", true}, Row{"VX-913R", true},
                           Row{"VX-905R:1", false}, Row{"vx-905r", false}}) {
        g_fake.deviceNames = {row.device};
        RunResult result = Run({});
        EXPECT_EQ(result.exitCode, 0) << row.device;
        Names expectedTail = {"exitlibrary() = 1",
                              "korwc_EndExcusive(\"" + std::string(row.device) + "\") = 1"};
        if (row.unlocks) {
            expectedTail.insert(expectedTail.begin(),
                                "korwc_UnlockScanner(\"" + std::string(row.device) + "\") = 1");
        }
        ASSERT_GE(calls_.size(), expectedTail.size());
        EXPECT_EQ(Names(calls_.end() - static_cast<long>(expectedTail.size()), calls_.end()),
                  expectedTail)
            << row.device;
    }
}

TEST_F(DriverTest, TerminalSignalsDoNotEndTheRun) {
    g_fake.onCall = [](const std::string& entryPoint) {
        if (entryPoint == "GetArdosaInfo") {
            for (int signalNumber : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP}) {
                raise(signalNumber);
            }
        }
    };
    RunResult result = Run({});
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(calls_.back(), "korwc_EndExcusive(\"ko-999:S1\") = 1");
}

}  // namespace
