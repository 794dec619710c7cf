// Bringing the fleet to the policy from the process that writes the output: the enumeration, then
// each scanner, each in a child of its own; the children's ends judged.
#pragma once

#include <string>
#include <vector>

#include "apply/outcome.h"
#include "apply/scanner_work.h"
#include "fleet/fleet_run.h"
#include "fleet/policy.h"

/// Enumerates the scanners and works on those requested (all when none is) with the settings that
/// the policy asks of each, within the limits: a child still reading at its deadline is killed, one
/// that has begun to write is waited for and the time it took reported. Requested names that are
/// not attached are reported absent after the others. Prints nothing.
apply_run ApplyToFleet(const apply_service& service, const site_policy& policy,
                       const std::vector<std::string>& requested, bool check,
                       const fleet_limits& limits);
