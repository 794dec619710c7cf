// Counter clearing and power settings: short call sequences that end with the EEPROM write.
#include "consumables/power.h"

#include "access/binding.h"
#include "consumables/consumables.h"
#include "consumables/power_off.h"

// The device-control library takes the power-off time as one bit per time; codes outside 0..3
// are sent as four hours.
static int PowerOffValue(int code) {
    const power_off_time* time = PowerOffTimeOf(code);
    return (time != nullptr ? time : PowerOffTimeOfHours(4))->iLibraryValue;
}

static bool WriteEeprom() {
    return g_fcpSetEepromData() != kEepromWriteFailed;
}

bool ClearCounters(device_session* /*session*/, velnor_command_info record) {
    // In the order of the clear bits; the brake-roller, roller-set and pad bits all reset the one
    // counter under the roller label. The reset calls' results do not matter: only the EEPROM write
    // decides.
    for (const consumable_row& row : kConsumables) {
        if ((record.uiClearMask & row.uiClearBit) != 0) {
            (*row.ppfnReset)();
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
    if (record.iPowerOffCode == kPowerOffInactiveCode) {
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
