// Tests of fault rules (result, once, delayMs), of a malformed fleet, and of the last error.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <chrono>
#include <cstring>

#include "sim/test_support.h"

namespace {

const char kScanners[] = R"("scanners": [
    {"name": "a", "firmware": "0C31", "lastError": 3, "totals": {"adf": 5},
     "counters": {"pick": {"label": "Pick Roller:", "count": 9}},
     "faults": {"GetArdosaInfo": {"result": 0}}},
    {"name": "b", "totals": {"adf": 6}}])";

std::string Fleet(const std::string& faults) {
    return "{\"faults\": {" + faults + "}, " + kScanners + "}";
}

TEST(FaultsTest, ResultReplacesTheCallAndItsEffect) {
    simtest::TempFleet fleet(Fleet(R"("korwc_GetDeviceTotalNum": {"result": 7},
                                       "korwc_GetFirmVersion": {"result": 0})"));
    EXPECT_EQ(korwc_GetDeviceTotalNum(), 7);
    char buffer[16] = "untouched";
    EXPECT_EQ(korwc_GetFirmVersion("a", buffer, 16), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(fleet.Trace(), (std::vector<std::string>{
                                 "korwc_GetDeviceTotalNum() = 7",
                                 "korwc_GetFirmVersion(\"a\", buffer, 16) = 0",
                             }));
}

TEST(FaultsTest, TheScannersOwnRuleWinsOverTheFleets) {
    simtest::TempFleet fleet(Fleet(R"("GetArdosaInfo": {"result": 5})"));
    struct Row {
        const char* scanner;
        int result;
        int adf;  // 0: the record was not filled
    } rows[] = {{"a", 0, 0}, {"b", 5, 0}};
    for (const Row& row : rows) {
        ASSERT_EQ(initlibrary(row.scanner, 0), 1);
        ardosa_info info{};
        EXPECT_EQ(GetArdosaInfo(&info), row.result) << row.scanner;
        EXPECT_EQ(info.iAdfTotal, row.adf) << row.scanner;
    }
}

TEST(FaultsTest, OnceAppliesToTheFirstCallOnly) {
    simtest::TempFleet fleet(Fleet(R"("SetEEPROMData": {"result": -1, "once": true})"));
    ASSERT_EQ(initlibrary("a", 0), 1);
    ASSERT_EQ(OnResetPick(), 1);
    EXPECT_EQ(SetEEPROMData(), -1);
    EXPECT_EQ(fleet.Read()["scanners"][0]["counters"]["pick"]["count"], 9);
    EXPECT_EQ(SetEEPROMData(), 1) << "the reset stayed staged";
    EXPECT_EQ(fleet.Read()["scanners"][0]["counters"]["pick"]["count"], 0);
}

TEST(FaultsTest, TextResultsBecomeNull) {
    simtest::TempFleet fleet(Fleet(R"("korwc_GetDeviceName": {"result": 0},
                                       "korwc_GetXMLSettings2": {"result": 0})"));
    EXPECT_EQ(korwc_GetDeviceName(0), nullptr);
    EXPECT_EQ(korwc_GetXMLSettings2("Version", "2.0.200", "/nonexistent.xml"), nullptr);
    EXPECT_EQ(fleet.Trace(),
              (std::vector<std::string>{
                  "korwc_GetDeviceName(0) = NULL",
                  "korwc_GetXMLSettings2(\"Version\", \"2.0.200\", \"/nonexistent.xml\") = NULL",
              }));
}

int g_iSignals = 0;
void CountSignal(int) {
    ++g_iSignals;
}

TEST(FaultsTest, DelayIsNotCutShortBySignals) {
    simtest::TempFleet fleet(Fleet(R"("korwc_GetDeviceTotalNum": {"delayMs": 300})"));
    struct sigaction action {};
    action.sa_handler = CountSignal;  // no SA_RESTART: the sleep is interrupted
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval every20ms{{0, 20000}, {0, 20000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every20ms, nullptr), 0);
    g_iSignals = 0;
    auto start = std::chrono::steady_clock::now();
    int count = korwc_GetDeviceTotalNum();
    auto slept = std::chrono::steady_clock::now() - start;
    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(count, 2) << "a delay alone does not change the result";
    EXPECT_GT(g_iSignals, 0);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(slept).count(), 300);
}

TEST(FaultsTest, FailedReadReportsTheScannersLastError) {
    simtest::TempFleet fleet(Fleet(""));
    ASSERT_EQ(korwc_StartExcusive("a"), 1);
    ASSERT_EQ(initlibrary("a", 0), 1);
    ardosa_info info{};
    EXPECT_EQ(GetArdosaInfo(&info), 0);
    EXPECT_EQ(korwc_GetLastErrorInfo(), 3);
}

TEST(FaultsTest, MalformedFleetMeansNoScannerAndOneLineOnStandardError) {
    simtest::TempFleet fleet(R"({"scanners": [{"name": "a", "totals": {"adf": "many"}}]})");
    testing::internal::CaptureStderr();
    EXPECT_EQ(korwc_GetDeviceTotalNum(), 0);
    EXPECT_EQ(korwc_GetDeviceName(0), nullptr);
    EXPECT_EQ(korwc_StartExcusive("a"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "orvex-sim: malformed fleet file " + fleet.path() +
                  ": \"scanners[a].totals.adf\" must be a whole number\n");
}

TEST(FaultsTest, DeviceControlLibraryReadsNoFleetBeforeInitlibrary) {
    simtest::TempFleet fleet("not json");
    testing::internal::CaptureStderr();
    EXPECT_EQ(exitlibrary(), 1);
    EXPECT_EQ(SetEEPROMData(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
