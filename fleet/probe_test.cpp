// Tests of the children's work through the real core and the simulated libraries, run from this
// process as the program runs it: the parent never loads the libraries, and nothing is changed.
#include "fleet/probe.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>

#include "access/binding.h"
#include "access/paths.h"
#include "fleet/child.h"
#include "tests/support/files.h"
#include "fleet/wire.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

// The entry points whose name says that they change the scanner.
const Names kChanging = {"SetPowerOffTime",      "ModeSelect_LongTimer", "SetPowerSavingEEPROM",
                         "OnResetAfterCleaning", "OnResetBrake",         "OnResetPick",
                         "SetEEPROMData",        "SetOffSetData"};

// The trace lines whose entry point is one of names.
Names Calls(const std::string& trace, const Names& names) {
    return WithoutResults(FilterTrace(SplitIntoLines(trace), names));
}

TEST(ServiceProbe, ReadsEveryScannerInChildrenAndChangesNothing) {
    TempDir dir;
    const std::string fleet = dir.path() + "/fleet.json", trace = dir.path() + "/trace";
    const std::string sample = ReadWholeFile(ORVEX_TEST_FIXTURES "/sample.json");
    WriteWholeFile(fleet, sample);
    setenv("ORVEX_SIM_FLEET", fleet.c_str(), 1);
    setenv("ORVEX_SIM_TRACE", trace.c_str(), 1);
    run_outcome run = ReadFleet(ServiceProbe(), {"VX-905R", "ko-330xs:KV33A0001"},
                                fleet_limits{std::chrono::seconds(10)});
    unsetenv("ORVEX_SIM_FLEET");
    unsetenv("ORVEX_SIM_TRACE");

    EXPECT_EQ(run.eEnumeration, EnumerationStatus::kOk);
    ASSERT_EQ(run.vScanners.size(), 2u);
    EXPECT_EQ(run.vScanners[0].eStatus, ScannerStatus::kOk);
    EXPECT_EQ(run.vScanners[0].stReport.strSerialNumber, "KV33A0001");
    EXPECT_EQ(run.vScanners[1].stReport.strSerialNumber, "VX905R0003");
    EXPECT_EQ(g_pkorWatch, nullptr);
    EXPECT_EQ(dlopen(g_cpKorWatchPath, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    EXPECT_EQ(dlopen(g_cpZevControlPath, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    std::string calls = ReadWholeFile(trace);
    EXPECT_EQ(Calls(calls, kChanging), Names{});
    EXPECT_EQ(
        Calls(calls, {"korwc_StartExcusive", "initlibrary", "exitlibrary", "korwc_EndExcusive"}),
        (Names{R"(korwc_StartExcusive("ko-330xs:KV33A0001"))",
               R"(initlibrary("ko-330xs:KV33A0001", 0))", "exitlibrary()",
               R"(korwc_EndExcusive("ko-330xs:KV33A0001"))", R"(korwc_StartExcusive("VX-905R"))",
               R"(initlibrary("VX-905R", 0))", "exitlibrary()",
               R"(korwc_EndExcusive("VX-905R"))"}));
    EXPECT_EQ(ReadWholeFile(fleet), sample);
}

TEST(ServiceProbe, LibrariesThatCannotBeLoadedEndTheEnumeration) {
    const char* saved = g_cpKorWatchPath;
    g_cpKorWatchPath = "/nonexistent/libkorwatch.so";
    run_outcome run = ReadFleet(ServiceProbe(), {}, fleet_limits{std::chrono::seconds(10)});
    EXPECT_EQ(run.eEnumeration, EnumerationStatus::kLibrariesMissing);
    EXPECT_TRUE(run.vScanners.empty());

    // A scanner read after the libraries went away is an error of its own.
    child_result child =
        RunChild([] { return ReadScannerState("ko-330xs:KV33A0001"); }, std::chrono::seconds(10));
    g_cpKorWatchPath = saved;
    scanner_reading reading{};
    ASSERT_TRUE(DecodeScannerReading(child.strPayload, &reading));
    EXPECT_EQ(reading.eStatus, ScannerStatus::kError);
    EXPECT_EQ(reading.strMessage, "the service libraries could not be loaded");
}

// A view that no check takes anything out of: counters and timer at 0 are possible.
report_view PossibleView() {
    report_view view{};
    view.strProductId = "ko-330xs";
    view.iAdfSheets = 0;
    view.oFlatbedSheets = 0;
    view.vConsumables = {
        {ConsumableKind::kAfterCleaning, "After cleaning:", 0, CounterMarks::kNone, true},
        {ConsumableKind::kBrakeRoller, "Brake Roller:", 5000, CounterMarks::kFirst, true},
        {ConsumableKind::kPickRoller, "Pick Roller:", INT32_MAX, CounterMarks::kNone, true}};
    view.oSleepTimer = sleep_timer_view{0, 0, MinutesOfSleepStep(INT32_MAX)};
    view.oPowerOff = power_off_view{false, 1};
    return view;
}

TEST(CheckReportValues, TakesOutWhatNoScannerCanHaveAndSaysSo) {
    using Change = std::function<void(report_view*)>;
    const Change none = [](report_view*) {};
    const Change noTimer = [](report_view* v) { v->oSleepTimer.reset(); };
    const Change noBrake = [](report_view* v) {
        v->vConsumables.erase(v->vConsumables.begin() + 1);
    };
    struct CheckCase {
        const char* what;
        Change change;    // made to the possible view
        Change reported;  // made to the possible view, to give the one reported
        std::string message;
        ScannerStatus status;
    };
    const std::string impossible = "the library gave an impossible ";
    const std::vector<CheckCase> cases = {
        {"possible values", none, none, "", ScannerStatus::kOk},
        {"a negative sleep-timer setting", [](report_view* v) { v->oSleepTimer->llMinutes = -15; },
         noTimer, impossible + "sleep timer: -15 minutes, from 0 to 10737418235",
         ScannerStatus::kOk},
        {"the lowest step at the bottom of its range",
         [](report_view* v) { v->oSleepTimer->llMinMinutes = MinutesOfSleepStep(INT32_MIN); },
         noTimer, impossible + "sleep timer: 0 minutes, from -10737418240 to 10737418235",
         ScannerStatus::kOk},
        {"a negative flatbed total", [](report_view* v) { v->oFlatbedSheets = -2; },
         [](report_view* v) { v->oFlatbedSheets.reset(); }, impossible + "flatbed sheet total: -2",
         ScannerStatus::kOk},
        {"a negative counter and a negative highest step",
         [](report_view* v) {
             v->vConsumables[1].iSheets = -1;
             v->oSleepTimer->llMaxMinutes = -5;
         },
         [&](report_view* v) {
             noTimer(v);
             noBrake(v);
         },
         impossible + "sleep timer: 0 minutes, from 0 to -5; " + impossible +
             "sheet count for brake_roller: -1",
         ScannerStatus::kOk},
        {"a negative ADF total", [](report_view* v) { v->iAdfSheets = INT32_MIN; },
         [](report_view* v) { *v = report_view{}; }, impossible + "ADF sheet total: -2147483648",
         ScannerStatus::kError},
    };
    for (const CheckCase& c : cases) {
        report_view given = PossibleView(), reported = PossibleView();
        c.change(&given);
        c.reported(&reported);
        scanner_reading reading = CheckReportValues(given);
        EXPECT_EQ(reading.eStatus, c.status) << c.what;
        EXPECT_EQ(reading.strMessage, c.message) << c.what;
        EXPECT_EQ(reading.stReport, reported) << c.what;
    }
}

}  // namespace
