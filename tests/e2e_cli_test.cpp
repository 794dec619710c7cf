// Whole-program runs of the command line on the simulated scanner service: help, version and
// device list, the option scanner's refusals, stray words, rounding, invalid values and the
// decisions of the parser seen through the call trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

const char kSampleDevices[] =
    "List of available devices:\n"
    "    ko-330xs:KV33A0001\n"
    "    ko-225Wxs:KV22W0002\n"
    "    VX-905R\n"
    "    ko-550xs:KV55A0004\n";

const char kInfo[] = "--info\n  show the current scanner's information\n";
const char kCleaning[] = "--after-cleaning-clear\n  clear the after cleaning counter\n";
const char kBrake[] = "--brake-roller-clear\n  clear the brake roller counter\n";
const char kRollerSet[] = "--roller-set-clear\n  clear the roller set counter\n";
const char kPad[] = "--pad-clear\n  clear the pad counter\n";
const char kPick[] = "--pick-roller-clear\n  clear the pick roller counter\n";
const char kPowerOff[] =
    "--power-off inactive | 1-hour | 2-hours | 4-hours | 8-hours\n"
    "  time in hours until the power turn off automatically\n";
const char kAdfOffsets[] =
    "--adf-front-offset-main -4..4(in steps of 1)\n  set main offset of adf front\n"
    "--adf-front-offset-sub -4..4(in steps of 1)\n  set sub offset of adf front\n";
const char kAdfFrontEndOfPage[] =
    "--adf-front-offset-end-of-page -4..4(in steps of 1)\n  set end of page of adf front\n";
const char kAdfBackOffsets[] =
    "--adf-back-offset-main -4..4(in steps of 1)\n  set main offset of adf back\n"
    "--adf-back-offset-sub -4..4(in steps of 1)\n  set sub offset of adf back\n";
const char kAdfBackEndOfPage[] =
    "--adf-back-offset-end-of-page -4..4(in steps of 1)\n  set end of page of adf back\n";
const char kFlatbedOffsets[] =
    "--flatbed-offset-main -4..4(in steps of 1)\n  set main offset of flatbed\n"
    "--flatbed-offset-sub -4..4(in steps of 1)\n  set sub offset of flatbed\n";
const char kAdfMagnification[] =
    "--adf-magnification-adjustment -3.1..3.1(in steps of 0.1)\n"
    "  set magnification adjustment of adf\n";
const char kFlatbedMagnification[] =
    "--flatbed-magnification-adjustment -3.1..3.1(in steps of 0.1)\n"
    "  set magnification adjustment of flatbed\n";

std::string Sleep(const char* range) {
    return std::string("--sleeptimer ") + range +
           "(in steps of 5)\n"
           "  time in minutes until the internal power supply switches to sleep mode\n";
}

std::string Heading(const std::string& device) {
    return std::string(kHelpCommonPart) + "Options specific to device '" + device + "'\n";
}

std::string Message(const std::string& text) {
    return "orvexconsumables: " + text + "\n";
}

std::string Stray(const std::string& word) {
    return Message("argument without option: `" + word + "';try orvexconsumables --help");
}

std::string Diagnostic(const std::string& text) {
    return std::string(ORVEX_TEST_TOOL) + ": " + text + "\n";
}

// The trace lines of these entry points, of the last run.
Names Calls(const SimFleet& fleet, const Names& names) {
    return FilterTrace(fleet.TakeTrace(), names);
}

// The writes that a change would make; none of them may appear after a refused command line.
const Names kWrites = {"OnResetAfterCleaning", "OnResetBrake",         "OnResetPick",
                       "SetEEPROMData",        "ModeSelect_LongTimer", "SetPowerSavingEEPROM",
                       "SetPowerOffTime",      "SetOffSetData"};

// One whole run: its arguments and everything it must print, and how it must end.
struct RunCase {
    Names args;
    std::string out;
    std::string err;
    int exitCode;
};

void ExpectRuns(const SimFleet& fleet, const std::vector<RunCase>& cases) {
    for (const RunCase& c : cases) {
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, c.err) << line;
        EXPECT_EQ(result.exitCode, c.exitCode) << line;
        fleet.TakeTrace();
    }
}

TEST(CliRun, HelpListsWhatEachSampleScannerOffers) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::string fullOffsets = std::string(kAdfOffsets) + kAdfFrontEndOfPage +
                                    kAdfBackOffsets + kAdfBackEndOfPage + kFlatbedOffsets +
                                    kAdfMagnification + kFlatbedMagnification;
    const std::vector<RunCase> cases = {
        {{"-h"},
         Heading("ko-330xs:KV33A0001") + kInfo + kCleaning + kBrake + kPick + Sleep("5..60") +
             kPowerOff + fullOffsets + "\n" + kSampleDevices,
         "",
         0},
        // Pad, no flatbed, no end of page.
        {{"--help", "-d", "ko-225Wxs:KV22W0002"},
         Heading("ko-225Wxs:KV22W0002") + kInfo + kCleaning + kPad + Sleep("5..240") + kPowerOff +
             kAdfOffsets + kAdfBackOffsets + kAdfMagnification + "\n" + kSampleDevices,
         "",
         0},
        // Roller set, no power-off, no offsets at all.
        {{"-d", "VX-905R", "-h"},
         Heading("VX-905R") + kInfo + kCleaning + kRollerSet + kPick + Sleep("5..180") + "\n" +
             kSampleDevices,
         "",
         0},
        // End of page without flatbed.
        {{"--device-name=ko-550xs:KV55A0004", "-h"},
         Heading("ko-550xs:KV55A0004") + kInfo + kCleaning + kBrake + kPick + Sleep("5..60") +
             kPowerOff + kAdfOffsets + kAdfFrontEndOfPage + kAdfBackOffsets + kAdfBackEndOfPage +
             kAdfMagnification + "\n" + kSampleDevices,
         "",
         0},
    };
    ExpectRuns(fleet, cases);
}

TEST(CliRun, HelpComparesLabelsAsWholeTextsAndStopsAtAFailedSession) {
    SimFleet fleet = SimFleet::FromFixture("cli_labels.json");
    const std::string devices =
        "List of available devices:\n    ko-330xs:ODD0001\n    ko-330xs:BUSY0002\n"
        "    ko-330xs:BAD0003\n    ko-330xs:FLAT0004\n";
    const std::vector<RunCase> cases = {
        {{"-h"},
         Heading("ko-330xs:ODD0001") + kInfo + Sleep("15..240") + kAdfOffsets + kAdfBackOffsets +
             kAdfMagnification + "\n" + devices,
         "",
         0},
        {{"-d", "ko-330xs:FLAT0004", "-h"},
         Heading("ko-330xs:FLAT0004") + kInfo + kRollerSet + kPowerOff + kAdfOffsets +
             kAdfBackOffsets + kFlatbedOffsets + kAdfMagnification + kFlatbedMagnification + "\n" +
             devices,
         "",
         0},
        {{"-d", "ko-330xs:BUSY0002", "-h"},
         std::string(kHelpCommonPart) +
             Message("The scanner is not connected, or may be in use by another application"),
         "",
         6},
        {{"-d", "ko-330xs:BAD0003", "-h"},
         std::string(kHelpCommonPart) +
             Message("Can not get the EEPROM data. \nThe setting of the function key can not "
                     "change. \nCheck the connection of the scanner"),
         "",
         7},
    };
    ExpectRuns(fleet, cases);
}

TEST(CliRun, HelpOpensTheSessionOnceOnTheSelectedDevice) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult result = fleet.Run({"-d", "ko-225Wxs:KV22W0002", "-h"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(Calls(fleet, {"korwc_StartExcusive", "GetArdosaInfo"}),
              (Names{R"(korwc_StartExcusive("ko-225Wxs:KV22W0002") = 1)",
                     "GetArdosaInfo(&ardosa_info) = 1"}));
}

TEST(CliRun, VersionComesFromTheSettingsFileWithDefaults) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::string installed =
        "Consumable tool for Kavisto Series scanner\nVersion 2.0.210\nCopyright 2020-2021 "
        "Kavisto\n";
    ExpectRuns(fleet, {{{"-V"}, installed, "", 0},
                       {{"--version"}, installed, "", 0},
                       {{"--vers"}, installed, "", 0}});

    // A library that gives no text at all for the keys: the defaults, and never a null text.
    SimFleet failing = SimFleet::FromJson(
        R"({"faults": {"korwc_GetXMLSettings2": {"result": 0}},
            "scanners": [{"name": "ko-330xs:A1"}]})");
    ExpectRuns(
        failing,
        {{{"-V"},
          "Consumable tool for Kavisto Series scanner\nVersion 2.0.200\nCopyright 2020-2021\n",
          "",
          0}});
}

TEST(CliRun, DeviceListNeedsNoSession) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult result = fleet.Run({"-L"});
    EXPECT_EQ(result.out, kSampleDevices);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    Names trace = fleet.TakeTrace();
    EXPECT_TRUE(FilterTrace(trace, {"korwc_StartExcusive", "initlibrary"}).empty());
    // The count is read again before every name: once at start-up, once per name, once more.
    EXPECT_EQ(FilterTrace(trace, {"korwc_GetDeviceTotalNum"}).size(), 1u + 4u + 1u);
}

TEST(CliRun, TheOptionScannerRefusesUnknownOptionsAndMissingValues) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::string longOption = "--" + std::string(5000, 'z');
    const std::vector<RunCase> cases = {
        {{"--bogus"}, "", Diagnostic("unrecognized option '--bogus'"), 3},
        {{"-x", "-h"}, "", Diagnostic("invalid option -- 'x'"), 3},
        {{"-5", "10"}, "", Diagnostic("invalid option -- '5'"), 3},
        {{"--pick-roller-clear", "--sleeptimer"},
         "",
         Diagnostic("option '--sleeptimer' requires an argument"),
         3},
        {{"-d"}, "", Diagnostic("option requires an argument -- 'd'"), 3},
        {{"--adf-front", "1"},
         "",
         Diagnostic("option '--adf-front' is ambiguous; possibilities: '--adf-front-offset-main' "
                    "'--adf-front-offset-sub' '--adf-front-offset-end-of-page'"),
         3},
        {{longOption}, "", Diagnostic("unrecognized option '" + longOption + "'"), 3},
        // After the first -d the device-name scan stops; the common-command scan meets it.
        {{"-d", "VX-905R", "--bogus"}, "", Diagnostic("unrecognized option '--bogus'"), 3},
    };
    for (const RunCase& c : cases) {
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args).substr(0, 200);
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, c.err) << line;
        EXPECT_EQ(result.exitCode, c.exitCode) << line;
        EXPECT_TRUE(Calls(fleet, {"korwc_StartExcusive"}).empty()) << line;
    }
}

TEST(CliRun, OptionsTheScannerDoesNotOfferAreUnrecognized) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::vector<RunCase> cases = {
        {{"--pad-clear"}, Message("unrecognized option '--pad-clear'"), "", 3},
        {{"-d", "ko-225Wxs:KV22W0002", "--flatbed-offset-main", "1"},
         Message("unrecognized option '--flatbed-offset-main'"),
         "",
         3},
        {{"-d", "VX-905R", "--power", "inactive"}, Message("unrecognized option '--power'"), "", 3},
        {{"-d", "VX-905R", "--adf-magnification-adjustment=1"},
         Message("unrecognized option '--adf-magnification-adjustment=1'"),
         "",
         3},
        // The first setting option is refused before the second is looked at.
        {{"--pick-roller-clear", "--roller-set-clear", "--sleeptimer", "x"},
         Message("unrecognized option '--roller-set-clear'"),
         "",
         3},
    };
    ExpectRuns(fleet, cases);
    for (const RunCase& c : cases) {
        fleet.Run(c.args);
        EXPECT_TRUE(Calls(fleet, kWrites).empty()) << testing::PrintToString(c.args);
    }
}

TEST(CliRun, StrayWordsEndTheRunAfterTheOptionsAreValidated) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::string longWord(5000, 'w');
    const std::vector<RunCase> cases = {
        {{"extra", "--pick-roller-clear"}, Stray("extra"), "", 9},
        {{"one", "--pick-roller-clear", "two"}, Stray("two"), "", 9},
        {{"-d", "VX-905R", "100%s"}, Stray("100%s"), "", 9},
        {{longWord, "--sleeptimer", "20"}, Stray(longWord), "", 9},
        {{"--sleeptimer", "7", "extra"},
         Message("rounded value of --sleeptimer from 7 to 5") + Stray("extra"),
         "",
         9},
        // A common command completes the run first.
        {{"extra", "-V"},
         "Consumable tool for Kavisto Series scanner\nVersion 2.0.210\nCopyright 2020-2021 "
         "Kavisto\n",
         "",
         0},
    };
    for (const RunCase& c : cases) {
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args).substr(0, 200);
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, c.err) << line;
        EXPECT_EQ(result.exitCode, c.exitCode) << line;
        EXPECT_TRUE(Calls(fleet, kWrites).empty()) << line;
    }
    // The session is opened and the option validated before the stray word is reported.
    fleet.Run({"extra", "--pick-roller-clear"});
    EXPECT_EQ(Calls(fleet, {"korwc_StartExcusive"}),
              Names{R"(korwc_StartExcusive("ko-330xs:KV33A0001") = 1)"});
}

TEST(CliRun, RoundedValuesAreReportedAndTheCorrectedValueIsWritten) {
    const struct {
        Names args;
        std::string out;
        Names writes;  // the trace lines of the entry points named in `names`
        Names names;
    } cases[] = {
        {{"--sleeptimer", "58"},
         Message("rounded value of --sleeptimer from 58 to 55") + kSetSuccessfullyLine,
         {R"(ModeSelect_LongTimer("ko-330xs:KV33A0001", 55) = 1)", "SetPowerSavingEEPROM(55) = 1"},
         {"ModeSelect_LongTimer", "SetPowerSavingEEPROM"}},
        {{"--sleep=0"},
         Message("rounded value of --sleep=0 from 0 to 5") + kSetSuccessfullyLine,
         {R"(ModeSelect_LongTimer("ko-330xs:KV33A0001", 5) = 1)", "SetPowerSavingEEPROM(5) = 1"},
         {"ModeSelect_LongTimer", "SetPowerSavingEEPROM"}},
        {{"--adf-front-offset-main", "5", "--adf-back-offset-sub", "-9"},
         Message("rounded value of --adf-front-offset-main from 5 to 4") +
             Message("rounded value of --adf-back-offset-sub from -9 to -4") + kSetSuccessfullyLine,
         {"SetOffSetData({fbMain=2 fbSub=0 adfFrontMain=4 adfFrontSub=-2 adfBackMain=0 "
          "adfBackSub=-4 adfFrontEndOfPage=0 adfBackEndOfPage=-1 fbMagnification=-31 "
          "adfMagnification=15 flatbed=1 byte41=90 endOfPage=1 offsetSupported=1}) = 1"},
         {"SetOffSetData"}},
        {{"--adf-magnification-adjustment", "-4", "--flatbed-magnification-adjustment=3.55"},
         Message("rounded value of --adf-magnification-adjustment from -4.0 to -3.1") +
             Message("rounded value of --flatbed-magnification-adjustment=3.55 from 3.6 to 3.1") +
             kSetSuccessfullyLine,
         {"SetOffSetData({fbMain=2 fbSub=0 adfFrontMain=1 adfFrontSub=-2 adfBackMain=0 "
          "adfBackSub=3 adfFrontEndOfPage=0 adfBackEndOfPage=-1 fbMagnification=31 "
          "adfMagnification=-31 flatbed=1 byte41=90 endOfPage=1 offsetSupported=1}) = 1"},
         {"SetOffSetData"}},
    };
    for (const auto& c : cases) {
        SimFleet fleet = SimFleet::FromFixture("sample.json");
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, "") << line;
        EXPECT_EQ(result.exitCode, 0) << line;  // the change overwrites the rounding's code 5
        EXPECT_EQ(Calls(fleet, c.names), c.writes) << line;
    }
}

TEST(CliRun, InvalidValuesAreRefusedAndNothingIsWritten) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const auto invalid = [](const std::string& word) {
        return Message("setting of option " + word + " failed(Invalid argument)");
    };
    const std::string longValue = "--power-off=" + std::string(5000, 'h');
    const std::vector<RunCase> cases = {
        {{"--sleeptimer", "ten"}, invalid("--sleeptimer"), "", 2},
        {{"--sleeptimer", ""}, invalid("--sleeptimer"), "", 2},
        {{"--sleeptimer", "4294967301"}, invalid("--sleeptimer"), "", 2},
        {{"--adf-front-offset-main", ""}, invalid("--adf-front-offset-main"), "", 2},
        {{"--adf-front-offset-main=0x1"}, invalid("--adf-front-offset-main=0x1"), "", 2},
        {{"--power-off", "3-hours"}, invalid("--power-off"), "", 2},
        {{"--adf-magnification-adjustment", "1,5"},
         invalid("--adf-magnification-adjustment"),
         "",
         2},
        {{"--adf-magnification-adjustment", "214748364.8"},
         invalid("--adf-magnification-adjustment"),
         "",
         2},
        {{"--pick-roller-clear", longValue}, invalid(longValue), "", 2},
    };
    for (const RunCase& c : cases) {
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args).substr(0, 200);
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, c.err) << line;
        EXPECT_EQ(result.exitCode, c.exitCode) << line;
        EXPECT_TRUE(Calls(fleet, kWrites).empty()) << line;
    }
    EXPECT_EQ(fleet.FleetText(), SimFleet::FromFixture("sample.json").FleetText());
}

TEST(CliRun, ALongWordAppearsWholeInTheRoundingMessage) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    const std::string word = "--sleeptimer=" + std::string(5000, '0') + "62";
    RunResult result = fleet.Run({word});
    EXPECT_EQ(result.out,
              Message("rounded value of " + word + " from 62 to 60") + kSetSuccessfullyLine);
    EXPECT_EQ(result.exitCode, 0);
}

TEST(CliRun, ACommonCommandWinsOverSettingOptionsWhereverItStands) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult help = fleet.Run({"-h"});
    RunResult version = fleet.Run({"-V"});
    RunResult report = fleet.Run({"--info"});
    fleet.TakeTrace();
    ASSERT_EQ(report.exitCode, 0);
    const struct {
        Names args;
        const RunResult& same;
    } cases[] = {
        {{"--sleeptimer", "10", "-h"}, help},
        {{"--sleeptimer", "ten", "--pad-clear", "--help"}, help},
        {{"-h", "--sleeptimer", "ten"}, help},
        {{"--info", "--sleeptimer", "10"}, report},
        {{"--power-off", "3-hours", "--in"}, report},
        {{"--pad-clear", "-V"}, version},
        {{"--adf-front-offset-main", "9", "extra", "--version"}, version},
    };
    for (const auto& c : cases) {
        RunResult result = fleet.Run(c.args);
        std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(result.out, c.same.out) << line;
        EXPECT_EQ(result.err, "") << line;
        EXPECT_EQ(result.exitCode, 0) << line;
        Names trace = fleet.TakeTrace();
        EXPECT_TRUE(FilterTrace(trace, kWrites).empty()) << line;
        EXPECT_LE(FilterTrace(trace, {"korwc_StartExcusive"}).size(), 1u) << line;
    }
    EXPECT_EQ(fleet.FleetText(), SimFleet::FromFixture("sample.json").FleetText());
}

TEST(CliRun, TheSessionIsOpenedOnceAtTheFirstSettingOption) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult result = fleet.Run(
        {"--pick", "--after-cleaning-clear", "--sleeptimer=20", "--power-off", "inactive"});
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(result.exitCode, 0);
    Names trace = fleet.TakeTrace();
    EXPECT_EQ(
        FilterTrace(trace, {"korwc_StartExcusive", "GetArdosaInfo", "OnResetPick",
                            "OnResetAfterCleaning", "SetPowerSavingEEPROM", "SetPowerOffTime"}),
        (Names{R"(korwc_StartExcusive("ko-330xs:KV33A0001") = 1)",
               "GetArdosaInfo(&ardosa_info) = 1", "SetPowerSavingEEPROM(20) = 1",
               "SetPowerOffTime(136) = 1", "OnResetAfterCleaning() = 1", "OnResetPick() = 1"}));

    // An option the scanner does not offer is checked only after the session is open: a busy
    // scanner gives the session's message, not the option's.
    SimFleet labels = SimFleet::FromFixture("cli_labels.json");
    ExpectRuns(labels,
               {{{"-d", "ko-330xs:BUSY0002", "--pad-clear"},
                 Message("The scanner is not connected, or may be in use by another application"),
                 "",
                 6}});
}

TEST(CliRun, TheFirstDeviceNameSelectsTheScanner) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult first = fleet.Run({"-d", "VX-905R", "-h"});
    fleet.TakeTrace();
    const std::vector<RunCase> cases = {
        {{"-d", "VX-905R", "-d", "ko-330xs:KV33A0001", "-h"}, first.out, "", 0},
        // The second name is never checked against the attached devices.
        {{"-d", "VX-905R", "--device-name", "nowhere", "-h"}, first.out, "", 0},
        {{"--dev=VX-905R", "-h"}, first.out, "", 0},
        {{"-d", "nowhere", "-d", "VX-905R", "-h"},
         Message("The scanner is not connected, or may be in use by another application"),
         "",
         6},
    };
    ExpectRuns(fleet, cases);
}

}  // namespace
