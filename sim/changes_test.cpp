// Tests of the changes the device-control library stages and writes to the fleet file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "sim/test_support.h"

namespace {

using nlohmann::json;

const char kFirst[] = "ko-330xs:KV33A0001";

json ScannerIn(const json& fleet, const std::string& name) {
    for (const json& scanner : fleet["scanners"]) {
        if (scanner["name"] == name) {
            return scanner;
        }
    }
    return nullptr;
}

TEST(ChangesTest, EachCounterResetIsWrittenByTheEepromWrite) {
    struct Row {
        OnResetBrake_fn* reset;
        const char* counter;
    } rows[] = {
        {OnResetAfterCleaning, "cleaning"}, {OnResetBrake, "roller"}, {OnResetPick, "pick"}};
    for (const Row& row : rows) {
        simtest::TempFleet fleet(simtest::SampleFleet());
        json before = fleet.Read();
        ASSERT_EQ(initlibrary(kFirst, 0), 1);
        EXPECT_EQ(row.reset(), 1);
        EXPECT_EQ(fleet.Read(), before) << "a reset is only staged";
        EXPECT_EQ(SetEEPROMData(), 1);
        json expected = before;
        json& counter = expected["scanners"][0]["counters"][row.counter];
        counter["count"] = 0;
        counter["mark1"] = false;
        if (counter.contains("mark2")) {
            counter["mark2"] = false;
        }
        EXPECT_EQ(fleet.Read(), expected) << row.counter;
    }
}

TEST(ChangesTest, ResetOfACounterTheScannerLacksIsRefused) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("ko-225Wxs:KV22W0002", 0), 1);
    json before = fleet.Read();
    EXPECT_EQ(OnResetPick(), 0);
    EXPECT_EQ(SetEEPROMData(), 1);
    EXPECT_EQ(fleet.Read(), before);
}

TEST(ChangesTest, SleepTimerIsStagedAndWritten) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary(kFirst, 0), 1);
    unsigned short minutes = 20;
    EXPECT_EQ(ModeSelect_LongTimer(kFirst, &minutes), 1);
    EXPECT_EQ(SetPowerSavingEEPROM(20), 1);
    EXPECT_EQ(SetEEPROMData(), 1);
    EXPECT_EQ(ScannerIn(fleet.Read(), kFirst)["sleepTimer"]["step"], 4);
    ardosa_info info{};
    ASSERT_EQ(GetArdosaInfo(&info), 1);
    EXPECT_EQ(info.iSleepStep, 4) << "the library reports what it wrote";
}

TEST(ChangesTest, SleepTimerMinutesOutsideTheRangeOrStepAreRefused) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary(kFirst, 0), 1);  // steps 1..12: 5..60 minutes
    struct Row {
        int minutes;
        int expected;
    } rows[] = {{5, 1}, {60, 1}, {0, 0}, {4, 0}, {7, 0}, {65, 0}, {-5, 0}, {100000, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(SetPowerSavingEEPROM(row.minutes), row.expected) << row.minutes;
        unsigned short minutes = static_cast<unsigned short>(row.minutes);
        int expected = row.minutes == static_cast<int>(minutes) ? row.expected : 0;
        EXPECT_EQ(ModeSelect_LongTimer(kFirst, &minutes), expected) << row.minutes;
    }
    unsigned short five = 5;
    EXPECT_EQ(ModeSelect_LongTimer("ko-225Wxs:KV22W0002", &five), 0) << "not the device in use";
    EXPECT_EQ(ModeSelect_LongTimer(kFirst, nullptr), 0);
    EXPECT_EQ(ModeSelect_LongTimer(nullptr, &five), 0);
}

TEST(ChangesTest, SleepTimerOfAScannerWithoutOneIsRefused) {
    simtest::TempFleet fleet(R"({"scanners": [{"name": "a", "sleepTimer": {"maxStep": 12}}]})");
    ASSERT_EQ(initlibrary("a", 0), 1);
    EXPECT_EQ(SetPowerSavingEEPROM(15), 0);
}

TEST(ChangesTest, PowerOffValues) {
    struct Row {
        int value;
        int result;
        bool active;
        int setting;  // as written; the sample scanner has it active with setting 1
    } rows[] = {
        {4, 1, true, 0},    {8, 1, true, 1},    {16, 1, true, 2},   {32, 1, true, 3},
        {132, 1, false, 0}, {136, 1, false, 1}, {144, 1, false, 2}, {160, 1, false, 3},
        {0, 0, true, 1},    {1, 0, true, 1},    {12, 0, true, 1},   {64, 0, true, 1},
        {128, 0, true, 1},  {388, 0, true, 1},  {-124, 0, true, 1},
    };
    for (const Row& row : rows) {
        simtest::TempFleet fleet(simtest::SampleFleet());
        ASSERT_EQ(initlibrary(kFirst, 0), 1);
        EXPECT_EQ(SetPowerOffTime(row.value), row.result) << row.value;
        EXPECT_EQ(SetEEPROMData(), 1);
        json powerOff = ScannerIn(fleet.Read(), kFirst)["powerOff"];
        EXPECT_EQ(powerOff["active"], row.active) << row.value;
        EXPECT_EQ(powerOff["setting"], row.setting) << row.value;
    }
}

TEST(ChangesTest, PowerOffOfAScannerWithoutItIsRefused) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("VX-905R", 0), 1);
    EXPECT_EQ(SetPowerOffTime(8), 0);
}

TEST(ChangesTest, OffsetsAreWrittenButNotTheFlagsOrByte41) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary(kFirst, 0), 1);
    offset_data data{};
    ASSERT_EQ(GetOffSetData(&data), 1);
    data = {-4, 4, 3, -3, 2, -2, 1, -1, 31, -30, 0, 17, 0, 0};
    EXPECT_EQ(SetOffSetData(&data), 1);
    json offsets = ScannerIn(fleet.Read(), kFirst)["offsets"];
    json expected = json::parse(R"({"supported": true, "flatbed": true, "endOfPage": true,
        "byte41": 90, "adfFront": {"main": 3, "sub": -3, "endOfPage": 1},
        "adfBack": {"main": 2, "sub": -2, "endOfPage": -1},
        "flatbedOffsets": {"main": -4, "sub": 4},
        "adfMagnification": -30, "flatbedMagnification": 31})");
    EXPECT_EQ(offsets, expected);
    offset_data again{};
    ASSERT_EQ(GetOffSetData(&again), 1);
    EXPECT_EQ(again.iFbMain, -4);
    EXPECT_EQ(again.bLibrary41, 90);
}

TEST(ChangesTest, OffsetsOfAScannerWithoutThemAreRefused) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("VX-905R", 0), 1);
    json before = fleet.Read();
    offset_data data{};
    EXPECT_EQ(SetOffSetData(&data), 0);
    EXPECT_EQ(SetOffSetData(nullptr), 0);
    EXPECT_EQ(fleet.Read(), before);
}

TEST(ChangesTest, EepromWriteFailsWhenTheFleetFileIsGone) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary(kFirst, 0), 1);
    ASSERT_EQ(OnResetPick(), 1);
    unlink(fleet.path().c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetEEPROMData(), kEepromWriteFailed);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "orvex-sim: cannot read the fleet file " + fleet.path() + ": No such file or directory\n");
}

TEST(ChangesTest, EepromWriteFailsWhenTheScannerLeftTheFile) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary(kFirst, 0), 1);
    ASSERT_EQ(OnResetBrake(), 1);
    WriteWholeFile(fleet.path(), R"({"scanners": [{"name": "other"}]})");
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetEEPROMData(), kEepromWriteFailed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "orvex-sim: the fleet file " + fleet.path() +
                                                          " has no scanner named " + kFirst + "\n");
    EXPECT_EQ(ReadWholeFile(fleet.path()), R"({"scanners": [{"name": "other"}]})");
}

TEST(ChangesTest, FleetFileTheUserMayNotWriteIsRefusedAndAWrittenOneKeepsItsMode) {
    struct Row {
        mode_t mode;
        uid_t owner;          // 0: the test's own user
        int result;           // of SetEEPROMData
        const char* refusal;  // the line after "orvex-sim: the fleet file <path>", "" if written
    } rows[] = {
        {0644, 0, 1, ""},
        {0640, 0, 1, ""},
        {0444, 0, kEepromWriteFailed, " is read-only"},
        {0464, 0, kEepromWriteFailed, " is read-only"},
        {0666, 65534, kEepromWriteFailed, " belongs to another user (uid 65534)"},
    };
    bool skipped = false;
    for (const Row& row : rows) {
        simtest::TempFleet fleet(simtest::SampleFleet());
        uid_t owner = row.owner == 0 ? geteuid() : row.owner;
        ASSERT_EQ(chmod(fleet.path().c_str(), row.mode), 0);
        if (chown(fleet.path().c_str(), owner, static_cast<gid_t>(-1)) != 0) {
            skipped = true;  // giving a file away needs root
            continue;
        }
        ASSERT_EQ(initlibrary(kFirst, 0), 1);
        ASSERT_EQ(OnResetPick(), 1);
        testing::internal::CaptureStderr();
        EXPECT_EQ(SetEEPROMData(), row.result) << row.mode;
        std::string refusal =
            *row.refusal == '\0' ? ""
                                 : "orvex-sim: the fleet file " + fleet.path() + row.refusal + "\n";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), refusal);
        EXPECT_EQ(ReadWholeFile(fleet.path()) == simtest::SampleFleet(), row.result != 1);
        struct stat file {};
        ASSERT_EQ(stat(fleet.path().c_str(), &file), 0);
        EXPECT_EQ(file.st_mode & 07777, row.mode);
        EXPECT_EQ(file.st_uid, owner);
    }
    if (skipped) {
        GTEST_SKIP() << "the file of another user needs a test run as root";
    }
}

}  // namespace
