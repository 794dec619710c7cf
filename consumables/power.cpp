// Counter clearing and power settings: short call sequences that end with the EEPROM write.
#include "consumables/power.h"

#include <cstdint>
#include <iterator>

#include "access/binding.h"

// A counter bit of uiClearMask and the reset call of its counter; tested in this order. The
// brake-roller, roller-set and pad bits all name the one counter under the roller label.
struct CounterReset {
    uint32_t uiMaskBit;
    OnResetBrake_fn** ppfnReset;
};

static constexpr CounterReset kCounterResets[] = {
    {kClearAfterCleaning, &g_fcpResetAfterCleaning},
    {kClearBrakeRoller, &g_fcpResetBrake},
    {kClearPickRoller, &g_fcpResetPick},
    {kClearRollerSet, &g_fcpResetBrake},
    {kClearPad, &g_fcpResetBrake},
};

// The device-control library takes the power-off time as one bit per time, by code 0..3
// (1, 2, 4, 8 hours); the current time's bit plus kPowerOffSwitchOff switches power-off off.
static const int kPowerOffValues[] = {0x04, 0x08, 0x10, 0x20};
static const int kPowerOffSwitchOff = 0x80;
// Codes outside 0..3 are sent as four hours.
static const int kPowerOffFallbackCode = kPowerOffFourHours;

static int PowerOffValue(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(kPowerOffValues))) {
        code = kPowerOffFallbackCode;
    }
    return kPowerOffValues[code];
}

static bool WriteEeprom() {
    return g_fcpSetEepromData() != kEepromWriteFailed;
}

bool ClearCounters(device_session* /*session*/, velnor_command_info record) {
    // The reset calls' results do not matter: only the EEPROM write decides.
    for (const CounterReset& reset : kCounterResets) {
        if ((record.uiClearMask & reset.uiMaskBit) != 0) {
            (*reset.ppfnReset)();
        }
    }
    return WriteEeprom();
}

bool SetPowerSaveTime(device_session* session, velnor_command_info record) {
    long long currentMinutes = MinutesOfSleepStep(session->stArdosaInfo.iSleepStep);
    if (record.iSleepMinutes == currentMinutes) {
        return true;
    }
    unsigned short minutes = static_cast<unsigned short>(record.iSleepMinutes);
    if (g_fcpModeSelect_LongTimer(record.cpDeviceName, &minutes) == 0) {
        return false;
    }
    if (g_fcpPowerSaving(record.iSleepMinutes) == 0) {
        return false;
    }
    return WriteEeprom();
}

bool SetPowerOffTime(device_session* session, velnor_command_info record) {
    bool active = session->stArdosaInfo.bPowerOffActive != 0;
    int current = session->stArdosaInfo.iPowerOffSetting;
    int value = 0;
    if (record.iPowerOffCode == kPowerOffInactive) {
        if (!active) {
            return true;
        }
        value = PowerOffValue(current) + kPowerOffSwitchOff;
    } else {
        if (active && record.iPowerOffCode == current) {
            return true;
        }
        value = PowerOffValue(record.iPowerOffCode);
    }
    if (g_fcpSetPowerOffTime(value) == 0) {
        return false;
    }
    return WriteEeprom();
}
