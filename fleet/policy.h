// The site's policy file: the settings every scanner should have and the life of each consumable,
// with overrides for the scanners whose device name matches a shell pattern.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "consumables/consumables.h"
#include "fleet/fleet_paths.h"  // g_cpDefaultPolicyPath, where the policy is looked for

/// The settings a scanner should have; an empty optional asks for nothing.
struct policy_settings {
    std::optional<int> oSleepTimerMinutes;  // 1..1440, as for the tool's --sleeptimer
    std::optional<int> oPowerOffCode;       // a --power-off code: 0..3, or kPowerOffInactiveCode
};

/// The life of each consumable in sheets, indexed by ConsumableKind; empty where none is given.
using policy_life = std::array<std::optional<int32_t>, kConsumableCount>;

/// A [[scanner]] table: what it sets for the device names that its pattern matches.
struct policy_override {
    std::string strMatch;  // an fnmatch pattern
    policy_settings stSettings;
    policy_life aLife;
};

/// The whole policy file.
struct site_policy {
    policy_settings stSettings;
    policy_life aLife;
    std::vector<policy_override> vScanners;  // in file order
};

/// What the policy asks of one scanner.
struct scanner_policy {
    policy_settings stSettings;
    policy_life aLife;
};

/// How reading the policy file ended.
enum class PolicyRead {
    kRead,     // the policy is in *policy
    kAbsent,   // there is no file, and none was required: no policy
    kInvalid,  // *error says why, naming the file, and where known the line, column and key
};

/// Reads the policy file at path. A file that does not exist is kAbsent unless mustExist (a file
/// named on the command line), when it is kInvalid like every other fault: not a regular file,
/// unreadable, not valid TOML, an unknown key, a value of the wrong type or out of its range.
/// Prints nothing.
PolicyRead ReadPolicy(const std::string& path, bool mustExist, site_policy* policy,
                      std::string* error);

/// Reads a policy from its text; path names it in messages. False with *error (as ReadPolicy's)
/// when something in it is wrong; *policy is then empty.
bool ParsePolicy(const std::string& text, const std::string& path, site_policy* policy,
                 std::string* error);

/// What the policy asks of the scanner with this device name: for each key, the first [[scanner]]
/// table that matches the name and sets the key, else the top-level tables.
scanner_policy ResolvePolicy(const site_policy& policy, const std::string& deviceName);

/// True when the policy sets a setting for some scanner, at the top level or in an override.
bool SetsAnySetting(const site_policy& policy);
