// The policy's settings against what a scanner reports: what the tool would write for each, and
// whether the scanner already has it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "consumables/report_view.h"
#include "fleet/policy.h"

/// A setting that the policy may set.
enum class PolicySetting { kSleepTimer, kPowerOff };

/// How each output names a setting.
struct policy_setting_row {
    PolicySetting eSetting;
    const char* cpKey;    // the policy file's and the JSON's key
    const char* cpLabel;  // the Prometheus label value
    const char* cpName;   // in a sentence
};

/// The settings in the tool's order of writing.
inline constexpr policy_setting_row kPolicySettings[] = {
    {PolicySetting::kSleepTimer, "sleep_timer_minutes", "sleep_timer", "sleep timer"},
    {PolicySetting::kPowerOff, "power_off", "power_off", "power off"},
};

/// One setting of the policy on one scanner: minutes for the sleep timer, --power-off codes for
/// the power-off.
struct setting_check {
    PolicySetting eSetting;
    int iRequested;                    // as the policy asks
    int iWanted;                       // what the tool would write on this scanner
    std::optional<long long> oActual;  // empty for a power-off time the library should not give
    bool bCompliant;
};

/// The policy's settings on one scanner, in the tool's order of writing.
struct settings_check {
    std::vector<setting_check> vChecks;      // set by the policy and offered by the scanner
    std::vector<PolicySetting> vNotOffered;  // set by the policy, not offered by the scanner
};

/// Compares the settings with the scanner's: the wanted sleep timer is the tool's choice for
/// --sleeptimer on this scanner (its step and range), the wanted power-off the --power-off code.
settings_check CheckSettings(const policy_settings& settings, const report_view& view);

/// The row of a setting.
const policy_setting_row& PolicySettingRowOf(PolicySetting setting);

/// A value as the outputs write it: minutes as a number ("15"), power-off codes as the tool's
/// --power-off texts ("2-hours", "inactive").
std::string SettingValueText(PolicySetting setting, long long value);
