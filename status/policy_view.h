// The site's policy applied to a run: what it says of each scanner with data.
#pragma once

#include "fleet/outcome.h"
#include "fleet/policy.h"

/// Gives each scanner with data the life of its consumables from the policy and, when the policy
/// sets a setting for some scanner, its settings against the policy's (the overrides matched on
/// the device name as the library gives it).
void ApplyPolicy(const site_policy& policy, run_outcome* run);
