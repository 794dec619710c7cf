// Whole-program runs of the driver on the simulated scanner service: start-up refusals, the
// teardown calls, and runs that terminal signals cannot interrupt.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

std::string Scanner(const std::string& name, const std::string& extra = "") {
    return R"({"name": ")" + name + R"(",
      "identification": {"productId": "ko-330xs", "revision": "1.00", "serialNumber": "S1"},
      "totals": {"adf": 100, "flatbed": 0, "hasFlatbed": false},
      "counters": {"pick": {"label": "Pick Roller:", "count": 4321}},
      "sleepTimer": {"supported": true, "minStep": 1, "maxStep": 12, "step": 3})" +
           extra + "}";
}

std::string Fleet(const std::vector<std::string>& scanners) {
    std::string json = R"({"scanners": [)";
    for (size_t i = 0; i < scanners.size(); ++i) {
        json += (i == 0 ? "" : ", ") + scanners[i];
    }
    return json + "]}";
}

TEST(DriverRun, EveryCommandNeedsAnAttachedScanner) {
    SimFleet fleet = SimFleet::FromJson(Fleet({R"({"name": "ko-330xs:GONE", "attached": false})"}));
    for (const Names& args : {Names{}, Names{"-h"}, Names{"-V"}, Names{"-L"}, Names{"--info"}}) {
        RunResult result = fleet.Run(args);
        EXPECT_EQ(result.out, kNotConnectedLine);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exitCode, 6);
    }
    EXPECT_EQ(FilterTrace(fleet.TakeTrace(), {"korwc_GetDeviceTotalNum"}).size(), 5u);
}

TEST(DriverRun, ANamedDeviceMustBeAttached) {
    SimFleet fleet = SimFleet::FromJson(Fleet({Scanner("ko-330xs:A1")}));
    RunResult result = fleet.Run({"-d", "ko-330xs:A", "-h"});
    EXPECT_EQ(result.out, kNotConnectedLine);
    EXPECT_EQ(result.exitCode, 6);
    Names trace = fleet.TakeTrace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(WithoutResults(trace).back(), R"(korwc_EndExcusive("ko-330xs:A"))");
    EXPECT_TRUE(FilterTrace(trace, {"korwc_StartExcusive"}).empty());
}

TEST(DriverRun, WithoutArgumentsReportsTheFirstScanner) {
    SimFleet fleet = SimFleet::FromJson(Fleet({Scanner("ko-330xs:A1"), Scanner("ko-330xs:B2")}));
    RunResult result = fleet.Run({});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("Device Info:\n", 0), 0u) << result.out;
    Names claims = FilterTrace(fleet.TakeTrace(), {"korwc_StartExcusive", "korwc_EndExcusive"});
    EXPECT_EQ(WithoutResults(claims), (Names{R"(korwc_StartExcusive("ko-330xs:A1"))",
                                             R"(korwc_EndExcusive("ko-330xs:A1"))"}));
}

TEST(DriverRun, TeardownUnlocksTheScannerEvenWithoutASession) {
    SimFleet fleet = SimFleet::FromJson(Fleet({Scanner("VX-905R")}));
    RunResult result = fleet.Run({"-V"});
    EXPECT_EQ(result.exitCode, 0);
    Names teardown =
        FilterTrace(fleet.TakeTrace(), {"korwc_UnlockScanner", "exitlibrary", "korwc_EndExcusive"});
    EXPECT_EQ(WithoutResults(teardown), (Names{"korwc_UnlockScanner(NULL)", "exitlibrary()",
                                               R"(korwc_EndExcusive("VX-905R"))"}));
}

TEST(DriverRun, TerminalSignalsDuringAWriteDoNotInterruptIt) {
    SimFleet fleet = SimFleet::FromJson(
        Fleet({Scanner("ko-330xs:A1", R"(, "faults": {"SetEEPROMData": {"delayMs": 1500}})")}));
    int pid = fleet.Start({"--pick-roller-clear"}, "slow");
    // Wait until the run is inside the delayed EEPROM write.
    for (int i = 0; i < 200; ++i) {
        if (ReadWholeFile(fleet.tracePath()).find("GetOffSetData") != std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    unsigned long long caught = ProcessSignalMask(pid, "SigCgt:");
    for (int signalNumber : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP}) {
        EXPECT_NE(caught & (1ULL << (signalNumber - 1)), 0u) << signalNumber;
        kill(pid, signalNumber);
    }
    RunResult result = fleet.WaitFor(pid, "slow");
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.out, "orvexconsumables: Set successfully\n");
    EXPECT_EQ(result.exitCode, 0);
    RunResult report = fleet.Run({"--info"});
    EXPECT_NE(report.out.find(" Pick Roller:\t\t\t0 Sheets\n"), std::string::npos) << report.out;
}

}  // namespace
