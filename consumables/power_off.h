// The automatic power-off times: the codes of the consumables record and of the command record,
// the tool's option texts, the report's texts, and the values the device-control library takes.
#pragma once

/// One power-off time.
struct power_off_time {
    int iCode;                 // iPowerOffSetting / iPowerOffCode
    const char* cpOptionText;  // the value of --power-off
    const char* cpReportText;  // as the information report shows it
    int iHours;
    int iLibraryValue;  // the device-control library takes one bit per time
};

/// The four times, by code.
inline constexpr power_off_time kPowerOffTimes[] = {
    {0, "1-hour", "1 Hour", 1, 0x04},
    {1, "2-hours", "2 Hours", 2, 0x08},
    {2, "4-hours", "4 Hours", 4, 0x10},
    {3, "8-hours", "8 Hours", 8, 0x20},
};

/// The code of --power-off inactive, and its text (also the report's while power-off is off).
inline constexpr int kPowerOffInactiveCode = 4;
inline constexpr const char* kPowerOffInactiveText = "inactive";

/// Added to the current time's value, switches automatic power-off off.
inline constexpr int kPowerOffSwitchOff = 0x80;

/// The time of a code; null for a code outside 0..3.
inline const power_off_time* PowerOffTimeOf(int code) {
    return code >= 0 && code < 4 ? &kPowerOffTimes[code] : nullptr;
}

/// The time of a number of hours; null when no time has them.
inline const power_off_time* PowerOffTimeOfHours(int hours) {
    for (const power_off_time& time : kPowerOffTimes) {
        if (time.iHours == hours) {
            return &time;
        }
    }
    return nullptr;
}

/// The code of a --power-off text, letter case ignored: 0..3, kPowerOffInactiveCode, or -1 for
/// any other text and for none.
int PowerOffCodeOfText(const char* text);

/// The --power-off text of a code ("2-hours", "inactive"); null for any other code.
const char* PowerOffTextOfCode(int code);
