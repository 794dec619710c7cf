// Counter clearing and power settings: the exact library calls for every case.
#include "consumables/power.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "consumables/consumables.h"
#include "session/session.h"
#include "tests/support/fake_service_fixture.h"

namespace {

// The session whose records the operations read and change.
device_session testSession;

using Calls = std::vector<std::string>;

const char kDevice[] = "ko-330xs:FAKE0001";
const std::string kEepromWrite = "SetEEPROMData() = 1";

class PowerTest : public FakeServiceTest {
protected:
    void SetUp() override {
        FakeServiceTest::SetUp();
        testSession.stArdosaInfo = g_fake.ardosa;  // as the session read it
        record_.cpDeviceName = kDevice;
    }

    velnor_command_info record_{};
};

TEST_F(PowerTest, ClearCountersResetsEachMaskedCounterInOrder) {
    struct Row {
        uint32_t mask;
        Calls calls;
    };
    const Row rows[] = {
        {0x01, {"OnResetAfterCleaning() = 1", kEepromWrite}},
        {0x02, {"OnResetBrake() = 1", kEepromWrite}},
        {0x04, {"OnResetPick() = 1", kEepromWrite}},
        {0x08, {"OnResetBrake() = 1", kEepromWrite}},
        {0x10, {"OnResetBrake() = 1", kEepromWrite}},
        {0x07,
         {"OnResetAfterCleaning() = 1", "OnResetBrake() = 1", "OnResetPick() = 1", kEepromWrite}},
        {0x1D,
         {"OnResetAfterCleaning() = 1", "OnResetPick() = 1", "OnResetBrake() = 1",
          "OnResetBrake() = 1", kEepromWrite}},
        {0x00, {kEepromWrite}},
    };
    for (const Row& row : rows) {
        g_fake.calls.clear();
        record_.uiClearMask = row.mask;
        EXPECT_TRUE(ClearCounters(&testSession, record_)) << row.mask;
        EXPECT_EQ(g_fake.calls, row.calls) << row.mask;
    }
}

TEST_F(PowerTest, OnlyAFailedEepromWriteFailsTheClearing) {
    struct Row {
        std::map<std::string, int> results;
        bool ok;
        Calls calls;
    };
    const Row rows[] = {
        {{{"SetEEPROMData", -1}}, false, {"OnResetPick() = 1", "SetEEPROMData() = -1"}},
        {{{"SetEEPROMData", 0}}, true, {"OnResetPick() = 1", "SetEEPROMData() = 0"}},
        {{{"SetEEPROMData", -2}}, true, {"OnResetPick() = 1", "SetEEPROMData() = -2"}},
        {{{"OnResetPick", 0}}, true, {"OnResetPick() = 0", kEepromWrite}},
    };
    record_.uiClearMask = ConsumableRowOf(ConsumableKind::kPickRoller).uiClearBit;
    for (const Row& row : rows) {
        g_fake.calls.clear();
        g_fake.results = row.results;
        EXPECT_EQ(ClearCounters(&testSession, record_), row.ok);
        EXPECT_EQ(g_fake.calls, row.calls);
    }
}

TEST_F(PowerTest, SleepTimer) {
    struct Row {
        int currentStep;
        int minutes;
        std::map<std::string, int> results;
        bool ok;
        Calls calls;
    };
    const Row rows[] = {
        {3, 15, {}, true, {}},
        {12, 60, {}, true, {}},
        {3,
         20,
         {},
         true,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 20) = 1", "SetPowerSavingEEPROM(20) = 1",
          kEepromWrite}},
        {0,
         240,
         {},
         true,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 240) = 1", "SetPowerSavingEEPROM(240) = 1",
          kEepromWrite}},
        {3,
         5,
         {{"ModeSelect_LongTimer", 0}},
         false,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 5) = 0"}},
        {3,
         5,
         {{"SetPowerSavingEEPROM", 0}},
         false,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 5) = 1", "SetPowerSavingEEPROM(5) = 0"}},
        {3,
         5,
         {{"SetEEPROMData", -1}},
         false,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 5) = 1", "SetPowerSavingEEPROM(5) = 1",
          "SetEEPROMData() = -1"}},
        {3,
         5,
         {{"SetEEPROMData", 0}},
         true,
         {"ModeSelect_LongTimer(\"ko-330xs:FAKE0001\", 5) = 1", "SetPowerSavingEEPROM(5) = 1",
          "SetEEPROMData() = 0"}},
    };
    for (const Row& row : rows) {
        g_fake.calls.clear();
        g_fake.results = row.results;
        testSession.stArdosaInfo.iSleepStep = row.currentStep;
        record_.iSleepMinutes = row.minutes;
        EXPECT_EQ(SetPowerSaveTime(&testSession, record_), row.ok) << row.minutes;
        EXPECT_EQ(g_fake.calls, row.calls) << row.minutes;
        EXPECT_EQ(testSession.stArdosaInfo.iSleepStep,
                  row.currentStep);  // the record is not updated
    }
}

TEST_F(PowerTest, PowerOffValueForEachTransition) {
    struct Row {
        int active;
        int setting;
        int code;
        int sent;  // 0: nothing is sent
    };
    const Row rows[] = {
        // Switching off keeps the current time: its bit plus 128.
        {0, 1, 4, 0},
        {0, 7, 4, 0},
        {1, 0, 4, 132},
        {1, 1, 4, 136},
        {1, 2, 4, 144},
        {1, 3, 4, 160},
        {1, 9, 4, 144},
        {1, -1, 4, 144},
        // The same time while on is a no-op; while off it switches power-off on.
        {1, 0, 0, 0},
        {1, 1, 1, 0},
        {1, 2, 2, 0},
        {1, 3, 3, 0},
        {0, 1, 1, 8},
        {0, 0, 0, 4},
        {0, 3, 3, 32},
        {1, 0, 1, 8},
        {1, 3, 0, 4},
        {1, 1, 2, 16},
        {1, 1, 3, 32},
        {0, 9, 2, 16},
        // Codes the parser never records are sent as four hours.
        {1, 0, 7, 16},
        {1, 0, -1, 16},
    };
    for (const Row& row : rows) {
        g_fake.calls.clear();
        testSession.stArdosaInfo.bPowerOffActive = row.active;
        testSession.stArdosaInfo.iPowerOffSetting = row.setting;
        record_.iPowerOffCode = row.code;
        Calls expected;
        if (row.sent != 0) {
            expected = {"SetPowerOffTime(" + std::to_string(row.sent) + ") = 1", kEepromWrite};
        }
        EXPECT_TRUE(SetPowerOffTime(&testSession, record_));
        EXPECT_EQ(g_fake.calls, expected) << row.active << " " << row.setting << " " << row.code;
        EXPECT_EQ(testSession.stArdosaInfo.bPowerOffActive, row.active);
        EXPECT_EQ(testSession.stArdosaInfo.iPowerOffSetting, row.setting);
    }
}

TEST_F(PowerTest, PowerOffRefusals) {
    struct Row {
        std::map<std::string, int> results;
        bool ok;
        Calls calls;
    };
    const Row rows[] = {
        {{{"SetPowerOffTime", 0}}, false, {"SetPowerOffTime(32) = 0"}},
        {{{"SetEEPROMData", -1}}, false, {"SetPowerOffTime(32) = 1", "SetEEPROMData() = -1"}},
        {{{"SetEEPROMData", 0}}, true, {"SetPowerOffTime(32) = 1", "SetEEPROMData() = 0"}},
        {{{"SetPowerOffTime", 2}}, true, {"SetPowerOffTime(32) = 2", kEepromWrite}},
    };
    record_.iPowerOffCode = 3;  // eight hours
    for (const Row& row : rows) {
        g_fake.calls.clear();
        g_fake.results = row.results;
        EXPECT_EQ(SetPowerOffTime(&testSession, record_), row.ok);
        EXPECT_EQ(g_fake.calls, row.calls);
    }
}

}  // namespace
