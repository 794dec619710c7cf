// The policy's settings against a scanner's, decided as the tool's change operations decide
// whether there is anything to send.
#include "fleet/settings_check.h"

#include "consumables/power_off.h"
#include "consumables/sleep_timer.h"

namespace {

setting_check CheckSleepTimer(int requested, const sleep_timer_view& timer) {
    int wanted = ChooseSleepMinutes(requested, timer.llMinMinutes, timer.llMaxMinutes).iMinutes;
    return {PolicySetting::kSleepTimer, requested, wanted, timer.llMinutes,
            timer.llMinutes == wanted};
}

// Power-off as the --power-off code it would take: inactive while off, else the time's code.
std::optional<long long> PowerOffCodeOf(const power_off_view& powerOff) {
    if (!powerOff.bActive) {
        return kPowerOffInactiveCode;
    }
    const power_off_time* time = powerOff.oHours ? PowerOffTimeOfHours(*powerOff.oHours) : nullptr;
    return time != nullptr ? std::optional<long long>(time->iCode) : std::nullopt;
}

setting_check CheckPowerOff(int code, const power_off_view& powerOff) {
    std::optional<long long> actual = PowerOffCodeOf(powerOff);
    return {PolicySetting::kPowerOff, code, code, actual, actual == code};
}

}  // namespace

settings_check CheckSettings(const policy_settings& settings, const report_view& view) {
    settings_check check;
    if (settings.oSleepTimerMinutes) {
        if (view.oSleepTimer) {
            check.vChecks.push_back(
                CheckSleepTimer(*settings.oSleepTimerMinutes, *view.oSleepTimer));
        } else {
            check.vNotOffered.push_back(PolicySetting::kSleepTimer);
        }
    }
    if (settings.oPowerOffCode) {
        if (view.oPowerOff) {
            check.vChecks.push_back(CheckPowerOff(*settings.oPowerOffCode, *view.oPowerOff));
        } else {
            check.vNotOffered.push_back(PolicySetting::kPowerOff);
        }
    }
    return check;
}

const policy_setting_row& PolicySettingRowOf(PolicySetting setting) {
    return kPolicySettings[static_cast<size_t>(setting)];
}

std::string SettingValueText(PolicySetting setting, long long value) {
    if (setting == PolicySetting::kSleepTimer) {
        return std::to_string(value);
    }
    const char* text = PowerOffTextOfCode(static_cast<int>(value));
    return text != nullptr ? text : "unknown";
}
