// What one run of the apply program did: for each scanner its status, the settings that differed
// from the policy and whether each was written; for the run, its exit status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fleet/outcome.h"
#include "fleet/settings_check.h"

/// How bringing one scanner to the policy ended.
enum class ApplyStatus {
    kCompliant,    // it had every wanted value: nothing was written
    kChanged,      // the settings that differed were written
    kWouldChange,  // --check: some setting differs, nothing was written
    kBusy,         // in use by another application
    kTimeout,      // not read within the deadline
    kError,        // could not be read, or its child failed
    kRefused,      // the scanner refused a write; what was written before it stays
    kAbsent,       // named with -d, not attached
};

/// One status: its name in every format and whether it fails the run.
struct apply_status_row {
    ApplyStatus eStatus;
    bool bFailure;       // the scanner could not be read or changed: exit status 4
    const char* cpName;  // in every format
};

/// The statuses in the order of ApplyStatus, which is the order in which they are counted.
inline constexpr apply_status_row kApplyStatuses[] = {
    {ApplyStatus::kCompliant, false, "compliant"},      {ApplyStatus::kChanged, false, "changed"},
    {ApplyStatus::kWouldChange, false, "would-change"}, {ApplyStatus::kBusy, true, "busy"},
    {ApplyStatus::kTimeout, true, "timeout"},           {ApplyStatus::kError, true, "error"},
    {ApplyStatus::kRefused, true, "refused"},           {ApplyStatus::kAbsent, true, "absent"},
};

/// The row of a status.
const apply_status_row& ApplyStatusRowOf(ApplyStatus status);

/// One setting that differed from the policy, in minutes for the sleep timer and --power-off
/// codes for the power-off.
struct setting_change {
    PolicySetting eSetting;
    std::optional<long long> oFrom;  // empty for a power-off time the library should not give
    int iTo;
    std::optional<bool> oApplied;  // whether it was written; empty with --check
};

/// One scanner of the run.
struct apply_scanner {
    std::string strDevice;  // the device name, made valid UTF-8
    ApplyStatus eStatus;
    std::vector<fleet_message> vMessages;
    std::vector<setting_change> vChanges;  // in the order of writing
};

/// The whole run, scanners in enumeration order (then the requested ones that are absent).
struct apply_run {
    bool bCheck;
    EnumerationStatus eEnumeration;
    std::vector<fleet_message> vMessages;
    std::vector<apply_scanner> vScanners;
};

/// The unit that follows a value of the setting in sentences (" minutes" for the sleep timer).
const char* SettingUnit(PolicySetting setting);

/// The exit statuses; where several apply, the first of 3, 1, 4, 2 wins.
inline constexpr int kExitCompliant = 0;    // every scanner read complies (changed or not)
inline constexpr int kExitNotWritten = 1;   // the output could not be written
inline constexpr int kExitWouldChange = 2;  // --check found a difference
inline constexpr int kExitUsage = 3;        // the command line or the policy is wrong
inline constexpr int kExitFailed = 4;  // a scanner could not be read or changed, or no enumeration

/// The exit status of a run whose output was written: kExitFailed, kExitWouldChange or
/// kExitCompliant.
int ApplyExitStatus(const apply_run& run);

/// True when a setting was written on some scanner (a refused one's earlier settings included).
bool AnyChanged(const apply_run& run);
