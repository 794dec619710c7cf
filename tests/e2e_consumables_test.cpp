// Whole-program runs of the information report and of the changes on the simulated scanner
// service: the report of each scanner, the fixed order of the changes, the stop at the first
// failure, and changes that the next report shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

// The calls that change a scanner.
const Names kChangeCalls = {"ModeSelect_LongTimer", "SetPowerSavingEEPROM", "SetPowerOffTime",
                            "OnResetAfterCleaning", "OnResetBrake",         "OnResetPick",
                            "SetEEPROMData",        "SetOffSetData"};

const std::string kPadReport =
    "Device Info:\n"
    " Product Identification:\tVX-905R\n"
    " Product Revision:\t\t0.9\n"
    " Initial Use:\t\t\t2021/03/04\n"
    " Serial Number:\t\t\tVX5R0002\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t300 Sheets\n"
    " Pad:\t\t\t\t1200 Sheets(**)\n"
    " Pick Roller:\t\t\t77 Sheets\n"
    " Power saving:\t\t\t40 Minutes\n"
    " Power off:\t\t\tinactive\n"
    "Offset Setting:\n"
    " ADF(front):\t\n"
    "  Main:\t\t\t\t1*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    " ADF(back):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t-2*0.5mm\n"
    "Vertical magnification adjustment:\n"
    " ADF:\t\t\t\t0.0%\n";

const std::string kShortReport =
    "Device Info:\n"
    " Product Identification:\tko-120\n"
    " Product Revision:\t\t2.1\n"
    " Serial Number:\t\t\tBARE0003\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t5 Sheets\n"
    " Roller Set:\t\t\t42 Sheets(*)\n"
    " Power off:\t\t\t8 Hours\n";

TEST(ConsumablesReportRun, ClampedTimerPadAndShortReport) {
    SimFleet fleet = SimFleet::FromFixture("consumables_report.json");
    struct Row {
        Names args;
        std::string expected;
    };
    const Row rows[] = {
        {{}, kPadReport},
        {{"-d", "VX-905R"}, kPadReport},
        {{"--info", "-d", "VX-905R"}, kPadReport},
        {{"-d", "ko-330xs:BARE0003"}, kShortReport},
    };
    for (const Row& row : rows) {
        RunResult result = fleet.Run(row.args);
        EXPECT_EQ(result.out, row.expected) << testing::PrintToString(row.args);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exitCode, 0);
        // The report reads what the session read and changes nothing, not even the clamped timer.
        EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kChangeCalls), Names{});
    }
}

// The reports of the sample fleet's attached scanners.
const std::string kSampleReports[] = {
    "Device Info:\n"
    " Product Identification:\tko-330xs\n"
    " Product Revision:\t\t1.00\n"
    " Serial Number:\t\t\tKV33A0001\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t12345 Sheets\n"
    " Total Count (FB):\t\t678 Sheets\n"
    " After cleaning:\t\t120 Sheets\n"
    " Brake Roller:\t\t\t5000 Sheets(**)\n"
    " Pick Roller:\t\t\t6000 Sheets(*)\n"
    " Power saving:\t\t\t15 Minutes\n"
    " Power off:\t\t\t2 Hours\n"
    "Offset Setting:\n"
    " ADF(front):\t\n"
    "  Main:\t\t\t\t1*0.5mm\n"
    "  Sub:\t\t\t\t-2*0.5mm\n"
    "  End of page:\t\t\t0*0.5mm\n"
    " ADF(back):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t3*0.5mm\n"
    "  End of page:\t\t\t-1*0.5mm\n"
    " Flatbed:\t\n"
    "  Main:\t\t\t\t2*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "Vertical magnification adjustment:\n"
    " ADF:\t\t\t\t1.5%\n"
    " Flatbed:\t\t\t-3.1%\n",

    "Device Info:\n"
    " Product Identification:\tko-225Wxs\n"
    " Product Revision:\t\t2.01\n"
    " Serial Number:\t\t\tKV22W0002\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t4321 Sheets\n"
    " After cleaning:\t\t2100 Sheets(*)\n"
    " Pad:\t\t\t\t30000 Sheets\n"
    " Power saving:\t\t\t60 Minutes\n"
    " Power off:\t\t\tinactive\n"
    "Offset Setting:\n"
    " ADF(front):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    " ADF(back):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "Vertical magnification adjustment:\n"
    " ADF:\t\t\t\t0.0%\n",

    "Device Info:\n"
    " Product Identification:\tVX-905R\n"
    " Product Revision:\t\t1.10\n"
    " Initial Use:\t\t\t2021/04/12\n"
    " Serial Number:\t\t\tVX905R0003\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t99000 Sheets\n"
    " After cleaning:\t\t800 Sheets\n"
    " Roller Set:\t\t\t45000 Sheets(*)\n"
    " Pick Roller:\t\t\t45000 Sheets\n"
    " Power saving:\t\t\t15 Minutes\n",

    "Device Info:\n"
    " Product Identification:\tko-550xs\n"
    " Product Revision:\t\t1.02\n"
    " Serial Number:\t\t\tKV55A0004\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t250000 Sheets\n"
    " After cleaning:\t\t4000 Sheets\n"
    " Brake Roller:\t\t\t70000 Sheets\n"
    " Pick Roller:\t\t\t70000 Sheets\n"
    " Power saving:\t\t\t5 Minutes\n"
    " Power off:\t\t\t8 Hours\n"
    "Offset Setting:\n"
    " ADF(front):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "  End of page:\t\t\t2*0.5mm\n"
    " ADF(back):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "  End of page:\t\t\t2*0.5mm\n"
    "Vertical magnification adjustment:\n"
    " ADF:\t\t\t\t0.0%\n",
};

TEST(ConsumablesReportRun, SampleFleet) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    struct Row {
        Names args;
        const std::string& expected;
    };
    const Row rows[] = {
        {{}, kSampleReports[0]},
        {{"--info"}, kSampleReports[0]},
        {{"-d", "ko-330xs:KV33A0001"}, kSampleReports[0]},
        {{"-d", "ko-225Wxs:KV22W0002"}, kSampleReports[1]},
        {{"-d", "VX-905R"}, kSampleReports[2]},
        {{"--device-name", "ko-550xs:KV55A0004", "--info"}, kSampleReports[3]},
    };
    for (const Row& row : rows) {
        RunResult result = fleet.Run(row.args);
        EXPECT_EQ(result.out, row.expected) << testing::PrintToString(row.args);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exitCode, 0);
    }
}

// The scanner of consumables_changes.json, as the offset write describes its record.
std::string OffsetRecord(const std::string& fbSub, const std::string& adfMagnification) {
    return "{fbMain=4 fbSub=" + fbSub +
           " adfFrontMain=1 adfFrontSub=2 adfBackMain=-1 adfBackSub=-2 adfFrontEndOfPage=3 "
           "adfBackEndOfPage=-3 fbMagnification=-10 adfMagnification=" +
           adfMagnification + " flatbed=1 byte41=90 endOfPage=1 offsetSupported=1}";
}

const std::string kChangedOffsets = OffsetRecord("3", "-15");
const std::string kDeviceOffsets = OffsetRecord("-4", "10");

// Every kind of change at once, named on the command line against the order of applying them.
const Names kAllChanges = {"--flatbed-offset-sub",
                           "3",
                           "--adf-magnification-adjustment",
                           "-1.5",
                           "--pick-roller-clear",
                           "--power-off",
                           "8-hours",
                           "--sleeptimer",
                           "20"};

const Names kSleepCalls = {R"(ModeSelect_LongTimer("ko-330xs:KV33C0100", 20) = 1)",
                           "SetPowerSavingEEPROM(20) = 1", "SetEEPROMData() = 1"};
const Names kPowerOffCalls = {"SetPowerOffTime(32) = 1", "SetEEPROMData() = 1"};
const Names kCounterCalls = {"OnResetPick() = 1", "SetEEPROMData() = 1"};

Names Joined(const std::vector<Names>& parts) {
    Names all;
    for (const Names& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The fixture with fleet-wide faults added.
SimFleet ChangesFleet(const std::string& faults = "") {
    std::string json =
        ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/consumables_changes.json");
    if (!faults.empty()) {
        json = "{\"faults\": " + faults + ", " + json.substr(json.find('{') + 1);
    }
    return SimFleet::FromJson(json);
}

TEST(ConsumablesChangeRun, AppliesInFixedOrderAndReportsSuccessOnce) {
    SimFleet fleet = ChangesFleet();
    RunResult result = fleet.Run(kAllChanges);
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kChangeCalls),
              Joined({kSleepCalls,
                      kPowerOffCalls,
                      kCounterCalls,
                      {"SetOffSetData(" + kChangedOffsets + ") = 1"}}));
}

TEST(ConsumablesChangeRun, StopsAtTheFirstFailure) {
    struct Row {
        const char* faults;
        Names calls;
        std::string applied;  // the changes in place before the failure, named before it
    };
    const std::string allButOffsets =
        "orvexconsumables: Applied before the failure: sleep timer, power-off time, counters\n";
    const Row rows[] = {
        {R"({"ModeSelect_LongTimer": {"result": 0}})",
         {R"(ModeSelect_LongTimer("ko-330xs:KV33C0100", 20) = 0)"},
         ""},
        {R"({"SetPowerSavingEEPROM": {"result": 0}})",
         {R"(ModeSelect_LongTimer("ko-330xs:KV33C0100", 20) = 1)", "SetPowerSavingEEPROM(20) = 0"},
         ""},
        {R"({"SetEEPROMData": {"result": -1}})",
         {R"(ModeSelect_LongTimer("ko-330xs:KV33C0100", 20) = 1)", "SetPowerSavingEEPROM(20) = 1",
          "SetEEPROMData() = -1"},
         ""},
        {R"({"SetPowerOffTime": {"result": 0}})",
         Joined({kSleepCalls, {"SetPowerOffTime(32) = 0"}}),
         "orvexconsumables: Applied before the failure: sleep timer\n"},
        {R"({"SetOffSetData": {"result": 0}})",
         Joined({kSleepCalls,
                 kPowerOffCalls,
                 kCounterCalls,
                 {"SetOffSetData(" + kChangedOffsets + ") = 0",
                  "SetOffSetData(" + kDeviceOffsets + ") = 0"}}),
         allButOffsets},
        {R"({"SetOffSetData": {"result": 0, "once": true}})",
         Joined({kSleepCalls,
                 kPowerOffCalls,
                 kCounterCalls,
                 {"SetOffSetData(" + kChangedOffsets + ") = 0",
                  "SetOffSetData(" + kDeviceOffsets + ") = 1"}}),
         allButOffsets},
    };
    for (const Row& row : rows) {
        SimFleet fleet = ChangesFleet(row.faults);
        RunResult result = fleet.Run(kAllChanges);
        EXPECT_EQ(result.out, row.applied + kNotConnectedLine) << row.faults;
        EXPECT_EQ(result.err, "") << row.faults;
        EXPECT_EQ(result.exitCode, 6) << row.faults;
        EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kChangeCalls), row.calls) << row.faults;
    }
}

TEST(ConsumablesChangeRun, ResultsThatAreNotFailures) {
    // Only -1 fails the EEPROM write; the reset calls' results are not looked at.
    for (const char* faults :
         {R"({"SetEEPROMData": {"result": 0}})", R"({"OnResetPick": {"result": 0}})"}) {
        SimFleet fleet = ChangesFleet(faults);
        RunResult result = fleet.Run({"--pick-roller-clear"});
        EXPECT_EQ(result.out, kSetSuccessfullyLine) << faults;
        EXPECT_EQ(result.exitCode, 0) << faults;
    }
}

TEST(ConsumablesChangeRun, SettingsAlreadyInPlaceSendNothing) {
    SimFleet fleet = ChangesFleet();
    RunResult result = fleet.Run({"--sleeptimer", "15", "--power-off", "2-hours"});
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kChangeCalls), Names{});
}

TEST(ConsumablesChangeRun, SwitchingPowerOffOffKeepsTheTime) {
    SimFleet fleet = ChangesFleet();
    RunResult result = fleet.Run({"--power-off", "inactive"});
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kChangeCalls),
              (Names{"SetPowerOffTime(136) = 1", "SetEEPROMData() = 1"}));
    result = fleet.Run({"--info"});
    EXPECT_NE(result.out.find("\n Power off:\t\t\tinactive\n"), std::string::npos) << result.out;
}

const std::string kChangesReportHead =
    "Device Info:\n"
    " Product Identification:\tko-330xs\n"
    " Product Revision:\t\t1.00\n"
    " Serial Number:\t\t\tKV33C0100\n"
    "Device Setting:\n"
    " Total Count (ADF):\t\t2000 Sheets\n"
    " Total Count (FB):\t\t10 Sheets\n"
    " After cleaning:\t\t120 Sheets\n"
    " Brake Roller:\t\t\t5000 Sheets\n";

std::string ChangesReportTail(const std::string& fbSub, const std::string& adfMagnification) {
    return "Offset Setting:\n"
           " ADF(front):\t\n"
           "  Main:\t\t\t\t1*0.5mm\n"
           "  Sub:\t\t\t\t2*0.5mm\n"
           "  End of page:\t\t\t3*0.5mm\n"
           " ADF(back):\t\n"
           "  Main:\t\t\t\t-1*0.5mm\n"
           "  Sub:\t\t\t\t-2*0.5mm\n"
           "  End of page:\t\t\t-3*0.5mm\n"
           " Flatbed:\t\n"
           "  Main:\t\t\t\t4*0.5mm\n"
           "  Sub:\t\t\t\t" +
           fbSub +
           "*0.5mm\n"
           "Vertical magnification adjustment:\n"
           " ADF:\t\t\t\t" +
           adfMagnification +
           "%\n"
           " Flatbed:\t\t\t-1.0%\n";
}

TEST(ConsumablesChangeRun, ClearedPickRollerReadsZeroNextTime) {
    SimFleet fleet = ChangesFleet();
    RunResult result = fleet.Run({"--pick-roller-clear"});
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(result.exitCode, 0);
    result = fleet.Run({"--info"});
    EXPECT_EQ(result.out, kChangesReportHead +
                              " Pick Roller:\t\t\t0 Sheets\n"
                              " Power saving:\t\t\t15 Minutes\n"
                              " Power off:\t\t\t2 Hours\n" +
                              ChangesReportTail("-4", "1.0"));
    EXPECT_EQ(result.exitCode, 0);
}

TEST(ConsumablesChangeRun, EveryChangeShowsInTheNextReport) {
    SimFleet fleet = ChangesFleet();
    ASSERT_EQ(fleet.Run(kAllChanges).exitCode, 0);
    RunResult result = fleet.Run({});
    EXPECT_EQ(result.out, kChangesReportHead +
                              " Pick Roller:\t\t\t0 Sheets\n"
                              " Power saving:\t\t\t20 Minutes\n"
                              " Power off:\t\t\t8 Hours\n" +
                              ChangesReportTail("3", "-1.5"));
}

TEST(ConsumablesChangeRun, AFailureLeavesTheLaterChangesUndone) {
    SimFleet fleet = ChangesFleet(R"({"SetPowerOffTime": {"result": 0}})");
    ASSERT_EQ(fleet.Run(kAllChanges).exitCode, 6);
    RunResult result = fleet.Run({"--info"});
    EXPECT_EQ(result.out, kChangesReportHead +
                              " Pick Roller:\t\t\t6000 Sheets\n"
                              " Power saving:\t\t\t20 Minutes\n"
                              " Power off:\t\t\t2 Hours\n" +
                              ChangesReportTail("-4", "1.0"));
}

TEST(ConsumablesChangeRun, RolledBackOffsetsReadAsBefore) {
    SimFleet fleet = ChangesFleet(R"({"SetOffSetData": {"result": 0, "once": true}})");
    ASSERT_EQ(fleet.Run({"--flatbed-offset-sub", "3"}).exitCode, 6);
    RunResult result = fleet.Run({"--info"});
    EXPECT_EQ(result.out, kChangesReportHead +
                              " Pick Roller:\t\t\t6000 Sheets\n"
                              " Power saving:\t\t\t15 Minutes\n"
                              " Power off:\t\t\t2 Hours\n" +
                              ChangesReportTail("-4", "1.0"));
}

}  // namespace
