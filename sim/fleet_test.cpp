// Tests of reading the fleet file: defaults, the sample fleet, and malformed files.
#include "sim/fleet.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sim/test_support.h"

namespace {

using nlohmann::json;

TEST(FleetTest, MissingKeysTakeTheirDefaults) {
    sim::Scanner s = sim::ParseScanner(json::parse(R"({"name": "ko-330xs:X"})"));
    EXPECT_EQ(s.name, "ko-330xs:X");
    EXPECT_TRUE(s.bAttached);
    EXPECT_EQ(s.firmware, "");
    EXPECT_TRUE(s.inquiry.empty());
    EXPECT_EQ(s.productId + s.revision + s.initialUse + s.serialNumber, "");
    EXPECT_FALSE(s.bHasFlatbed || s.bSleepSupported || s.bPowerOffSupported || s.bPowerOffActive);
    EXPECT_FALSE(s.roller.bHasLabel || s.pick.bHasLabel || s.cleaning.bHasLabel);
    EXPECT_EQ(s.iAdfTotal + s.iFbTotal + s.iSleepMinStep + s.iSleepMaxStep + s.iSleepStep, 0);
    EXPECT_FALSE(s.offsets.bSupported || s.offsets.bFlatbed || s.offsets.bEndOfPage);
    EXPECT_EQ(s.offsets.iByte41, 0);
    EXPECT_EQ(s.iLastError, 0);
    EXPECT_TRUE(s.faults.empty());
}

TEST(FleetTest, NullLabelMeansNoCounterButEmptyLabelIsALabel) {
    sim::Scanner s = sim::ParseScanner(json::parse(
        R"({"name": "a", "counters": {"roller": {"label": null, "count": 4},
                                      "pick": {"label": "", "count": 5}}})"));
    EXPECT_FALSE(s.roller.bHasLabel);
    EXPECT_EQ(s.roller.iCount, 4);
    EXPECT_TRUE(s.pick.bHasLabel);
    EXPECT_EQ(s.pick.label, "");
}

TEST(FleetTest, FlatbedFlagAndFlatbedOffsetsBothWays) {
    struct Row {
        const char* offsets;
        bool bFlatbed;
        int iMain, iSub;
    } rows[] = {
        {R"({"flatbed": true, "flatbedOffsets": {"main": 2, "sub": -1}})", true, 2, -1},
        {R"({"flatbed": false, "flatbedOffsets": {"main": 3}})", false, 3, 0},
        {R"({"flatbed": {"main": -4, "sub": 4}})", true, -4, 4},
        {R"({})", false, 0, 0},
    };
    for (const Row& row : rows) {
        json scanner = {{"name", "a"}, {"offsets", json::parse(row.offsets)}};
        sim::Offsets o = sim::ParseScanner(scanner).offsets;
        EXPECT_EQ(o.bFlatbed, row.bFlatbed) << row.offsets;
        EXPECT_EQ(o.iFbMain, row.iMain) << row.offsets;
        EXPECT_EQ(o.iFbSub, row.iSub) << row.offsets;
    }
}

TEST(FleetTest, FaultRulesAreRead) {
    sim::Fleet fleet = sim::ParseFleet(json::parse(
        R"({"faults": {"korwc_GetDeviceTotalNum": {"result": 0, "once": true}},
            "scanners": [{"name": "a", "faults": {"SetEEPROMData": {"delayMs": 20}}}]})"));
    const sim::FaultRule& top = fleet.faults.at("korwc_GetDeviceTotalNum");
    EXPECT_TRUE(top.bHasResult);
    EXPECT_EQ(top.iResult, 0);
    EXPECT_TRUE(top.bOnce);
    const sim::FaultRule& own = fleet.scanners.at(0).faults.at("SetEEPROMData");
    EXPECT_FALSE(own.bHasResult);
    EXPECT_EQ(own.iDelayMs, 20);
}

TEST(FleetTest, MalformedFilesAreRefusedNamingTheKey) {
    struct Row {
        const char* text;
        const char* expected;  // part of the message
    } rows[] = {
        {"{", "parse error"},
        {"[]", "\"(top level)\" must be an object"},
        {R"({"scanners": {}})", "\"scanners\" must be an array"},
        {R"({"scanners": [{}]})", "\"scanners[].name\" is required"},
        {R"({"scanners": [{"name": 5}]})", "\"scanners[].name\" must be a text"},
        {R"({"scanners": [{"name": "a", "attached": 1}]})",
         "\"scanners[a].attached\" must be true or false"},
        {R"({"scanners": [{"name": "a", "totals": {"adf": 1.5}}]})",
         "\"scanners[a].totals.adf\" must be a whole number"},
        {R"({"scanners": [{"name": "a", "totals": {"adf": 2147483648}}]})",
         "\"scanners[a].totals.adf\" must lie within -2147483648..2147483647"},
        {R"({"scanners": [{"name": "a", "offsets": {"byte41": 256}}]})",
         "\"scanners[a].offsets.byte41\" must lie within 0..255"},
        {R"({"scanners": [{"name": "a", "inquiry": {"x": 1}}]})",
         "\"scanners[a].inquiry.x\" must be a byte index within 0..1023"},
        {R"({"scanners": [{"name": "a", "inquiry": {" 3": 1}}]})",
         "\"scanners[a].inquiry. 3\" must be a byte index within 0..1023"},
        {R"({"scanners": [{"name": "a", "inquiry": {"1024": 1}}]})",
         "\"scanners[a].inquiry.1024\" must be a byte index within 0..1023"},
        {R"({"scanners": [{"name": "a", "inquiry": {"3": 300}}]})",
         "\"scanners[a].inquiry.3\" must lie within 0..255"},
        {R"({"scanners": [{"name": "a", "counters": {"pick": {"label": 3}}}]})",
         "\"scanners[a].counters.pick.label\" must be a text"},
        {R"({"faults": {"SetEEPROM": {"result": 0}}})",
         "\"faults.SetEEPROM\" is not an entry point of the service libraries"},
        {R"({"faults": {"SetEEPROMData": {"delayMs": -1}}})",
         "\"faults.SetEEPROMData.delayMs\" must lie within 0..600000"},
        {R"({"scanners": [{"name": "a", "sleepTimer": []}]})",
         "\"scanners[a].sleepTimer\" must be an object"},
    };
    for (const Row& row : rows) {
        simtest::TempFleet fleet(row.text);
        std::string error;
        sim::Fleet loaded = sim::LoadFleet(fleet.path(), error);
        EXPECT_TRUE(loaded.scanners.empty()) << row.text;
        EXPECT_EQ(error.rfind("malformed fleet file " + fleet.path() + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(row.expected), std::string::npos) << error;
    }
}

TEST(FleetTest, UnknownKeysAreRefusedWithTheirPlace) {
    struct Row {
        const char* text;
        const char* expected;  // the message after the path
    } rows[] = {
        {R"({"scanner": []})", R"x(unknown key "scanner" in "(top level)")x"},
        {R"({"scanners": [{"name": "a", "sleeptimer": {"step": 2}}]})",
         R"x(unknown key "sleeptimer" in "scanners[a]")x"},
        {R"({"scanners": [{"name": "a", "faults": {"initlibrary": {"reslt": 0}}}]})",
         R"x(unknown key "reslt" in "scanners[a].faults.initlibrary")x"},
        {R"({"faults": {"SetEEPROMData": {"delay": 5}}})",
         R"x(unknown key "delay" in "faults.SetEEPROMData")x"},
        {R"({"scanners": [{"name": "a", "identification": {"serial": "1"}}]})",
         R"x(unknown key "serial" in "scanners[a].identification")x"},
        {R"({"scanners": [{"name": "a", "totals": {"fb": 1}}]})",
         R"x(unknown key "fb" in "scanners[a].totals")x"},
        {R"({"scanners": [{"name": "a", "counters": {"brake": {}}}]})",
         R"x(unknown key "brake" in "scanners[a].counters")x"},
        {R"({"scanners": [{"name": "a", "counters": {"pick": {"mark3": true}}}]})",
         R"x(unknown key "mark3" in "scanners[a].counters.pick")x"},
        {R"({"scanners": [{"name": "a", "powerOff": {"hours": 2}}]})",
         R"x(unknown key "hours" in "scanners[a].powerOff")x"},
        {R"({"scanners": [{"name": "a", "offsets": {"byte40": 1}}]})",
         R"x(unknown key "byte40" in "scanners[a].offsets")x"},
        {R"({"scanners": [{"name": "a", "offsets": {"adfBack": {"mian": 1}}}]})",
         R"x(unknown key "mian" in "scanners[a].offsets.adfBack")x"},
        {R"({"scanners": [{"name": "a", "offsets": {"flatbedOffsets": {"endOfPage": 1}}}]})",
         R"x(unknown key "endOfPage" in "scanners[a].offsets.flatbedOffsets")x"},
        {R"({"scanners": [{"name": "a", "offsets": {"flatbed": {"endOfPage": 1}}}]})",
         R"x(unknown key "endOfPage" in "scanners[a].offsets.flatbed")x"},
    };
    for (const Row& row : rows) {
        simtest::TempFleet fleet(row.text);
        std::string error;
        EXPECT_TRUE(sim::LoadFleet(fleet.path(), error).scanners.empty()) << row.text;
        EXPECT_EQ(error, "malformed fleet file " + fleet.path() + ": " + row.expected);
    }
}

TEST(FleetTest, MissingFileGivesAnEmptyFleetAndAMessage) {
    std::string error;
    sim::Fleet fleet = sim::LoadFleet("/nonexistent/fleet.json", error);
    EXPECT_TRUE(fleet.scanners.empty());
    EXPECT_EQ(error, "cannot read the fleet file /nonexistent/fleet.json");
}

TEST(FleetTest, SampleFleetHasTheScannersOthersRelyOn) {
    std::string error;
    sim::Fleet fleet = sim::LoadFleet(SIM_TEST_SOURCE_DIR "/fleet/sample.json", error);
    ASSERT_EQ(error, "");
    ASSERT_GE(fleet.scanners.size(), 3u);
    const sim::Scanner& first = fleet.scanners[0];
    EXPECT_EQ(first.name.rfind("ko-330xs:", 0), 0u);
    EXPECT_TRUE(first.bHasFlatbed && first.offsets.bSupported && first.offsets.bFlatbed &&
                first.offsets.bEndOfPage && first.bSleepSupported && first.bPowerOffSupported);
    EXPECT_EQ(first.roller.label, "Brake Roller:");
    EXPECT_EQ(first.pick.label, "Pick Roller:");
    EXPECT_EQ(first.cleaning.label, "After cleaning:");
    EXPECT_EQ(fleet.scanners[1].roller.label, "Pad:");
    const sim::Scanner& third = fleet.scanners[2];
    EXPECT_EQ(third.name, "VX-905R");
    EXPECT_EQ(third.productId.rfind("VX-905R", 0), 0u);
    EXPECT_NE(third.initialUse, "");
    EXPECT_FALSE(third.bPowerOffSupported || third.offsets.bSupported);
}

TEST(FleetTest, FixtureIsTheSampleFleet) {
    EXPECT_EQ(ReadWholeFile(SIM_TEST_FIXTURES "/sample.json"), simtest::SampleFleet());
}

TEST(FleetTest, EnvironmentChoosesTheFleetFile) {
    setenv("ORVEX_SIM_FLEET", "/some/where.json", 1);
    EXPECT_EQ(sim::FleetPath(), "/some/where.json");
    unsetenv("ORVEX_SIM_FLEET");
    std::string beside = sim::FleetPath();
    EXPECT_EQ(beside.substr(beside.rfind('/') + 1), "simfleet.json");
}

}  // namespace
