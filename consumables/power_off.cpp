// The power-off texts of the command line and of the policy file.
#include "consumables/power_off.h"

#include <strings.h>

int PowerOffCodeOfText(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    for (const power_off_time& time : kPowerOffTimes) {
        if (strcasecmp(text, time.cpOptionText) == 0) {
            return time.iCode;
        }
    }
    return strcasecmp(text, kPowerOffInactiveText) == 0 ? kPowerOffInactiveCode : -1;
}

const char* PowerOffTextOfCode(int code) {
    const power_off_time* time = PowerOffTimeOf(code);
    return time != nullptr ? time->cpOptionText
                           : (code == kPowerOffInactiveCode ? kPowerOffInactiveText : nullptr);
}
