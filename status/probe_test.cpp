// Tests of the children's work through the real core and the simulated libraries, run from this
// process as the program runs it: the parent never loads the libraries, and nothing is changed.
#include "status/probe.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "access/binding.h"
#include "access/paths.h"
#include "status/child.h"
#include "tests/support/status_support.h"
#include "tests/support/trace_lines.h"
#include "status/wire.h"

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
    run_outcome run =
        ReadFleet(ServiceProbe(), {"VX-905R", "ko-330xs:KV33A0001"}, std::chrono::seconds(10));
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
    run_outcome run = ReadFleet(ServiceProbe(), {}, std::chrono::seconds(10));
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

}  // namespace
