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

// The claims and sessions, and every entry point whose name says that it changes the scanner.
const Names kWatched = {"korwc_StartExcusive",  "initlibrary",          "exitlibrary",
                        "korwc_EndExcusive",    "SetPowerOffTime",      "ModeSelect_LongTimer",
                        "SetPowerSavingEEPROM", "OnResetAfterCleaning", "OnResetBrake",
                        "OnResetPick",          "SetEEPROMData",        "SetOffSetData"};

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
    Names read;
    for (const scanner_outcome& scanner : run.vScanners) {
        read.push_back(scanner.strDevice + " " + ScannerStatusName(scanner.eStatus) + " " +
                       scanner.stReport.strSerialNumber);
    }
    EXPECT_EQ(read, (Names{"ko-330xs:KV33A0001 ok KV33A0001", "VX-905R ok VX905R0003"}));
    EXPECT_EQ(g_pkorWatch, nullptr);
    EXPECT_EQ(dlopen(g_cpKorWatchPath, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    EXPECT_EQ(dlopen(g_cpZevControlPath, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    EXPECT_EQ(WithoutResults(FilterTrace(SplitIntoLines(ReadWholeFile(trace)), kWatched)),
              (Names{R"(korwc_StartExcusive("ko-330xs:KV33A0001"))",
                     R"(initlibrary("ko-330xs:KV33A0001", 0))", "exitlibrary()",
                     R"(korwc_EndExcusive("ko-330xs:KV33A0001"))",
                     R"(korwc_StartExcusive("VX-905R"))", R"(initlibrary("VX-905R", 0))",
                     "exitlibrary()", R"(korwc_EndExcusive("VX-905R"))"}));
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

// What CheckReportValues leaves out of a report.
enum LeftOut { kNothing = 0, kTimer = 1, kFlatbed = 2, kBrake = 4, kWholeReport = 8 };

// Each row puts its values into a view whose other counters hold the lowest and highest possible
// sheets: the report keeps all but what the row says, and the reading is "status: message".
TEST(CheckReportValues, TakesOutWhatNoScannerCanHaveAndSaysSo) {
    const long long most = MinutesOfSleepStep(INT32_MAX), least = MinutesOfSleepStep(INT32_MIN);
    struct CheckCase {
        long long minutes, lowest, highest;  // the sleep timer's
        int32_t flatbed, brake, adf;         // sheets
        int leftOut;                         // LeftOut
        std::string reading;
    };
    const std::string impossible = "ok: the library gave an impossible ";
    const std::vector<CheckCase> cases = {
        {0, 0, most, 0, 5000, 0, kNothing, "ok: "},
        {-15, 0, most, 0, 5000, 0, kTimer,
         impossible + "sleep timer: -15 minutes, from 0 to 10737418235"},
        {0, least, most, 0, 5000, 0, kTimer,
         impossible + "sleep timer: 0 minutes, from -10737418240 to 10737418235"},
        {0, 0, most, -2, 5000, 0, kFlatbed, impossible + "flatbed sheet total: -2"},
        {0, 0, -5, 0, -1, 0, kTimer | kBrake,
         impossible + "sleep timer: 0 minutes, from 0 to -5; the library gave an impossible "
                      "sheet count for brake_roller: -1"},
        {0, 0, most, 0, 5000, INT32_MIN, kWholeReport,
         "error: the library gave an impossible ADF sheet total: -2147483648"},
    };
    for (const CheckCase& c : cases) {
        report_view given{};
        given.strProductId = "ko-330xs";
        given.iAdfSheets = c.adf;
        given.oFlatbedSheets = c.flatbed;
        given.vConsumables = {
            {ConsumableKind::kAfterCleaning, "After cleaning:", 0, CounterMarks::kNone, true},
            {ConsumableKind::kBrakeRoller, "Brake Roller:", c.brake, CounterMarks::kFirst, true},
            {ConsumableKind::kPickRoller, "Pick Roller:", INT32_MAX, CounterMarks::kNone, true}};
        given.oSleepTimer = sleep_timer_view{c.minutes, c.lowest, c.highest};
        given.oPowerOff = power_off_view{false, 1};
        report_view reported = given;
        if (c.leftOut & kTimer) {
            reported.oSleepTimer.reset();
        }
        if (c.leftOut & kFlatbed) {
            reported.oFlatbedSheets.reset();
        }
        if (c.leftOut & kBrake) {
            reported.vConsumables.erase(reported.vConsumables.begin() + 1);
        }
        if (c.leftOut & kWholeReport) {
            reported = report_view{};
        }
        scanner_reading reading = CheckReportValues(given);
        EXPECT_EQ(ScannerStatusName(reading.eStatus) + (": " + reading.strMessage), c.reading);
        EXPECT_EQ(reading.stReport, reported) << c.reading;
    }
}

}  // namespace
