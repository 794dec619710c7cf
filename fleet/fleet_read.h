// Reading the fleet from the process that writes the output: the enumeration, then each scanner,
// each in a child of its own with a deadline.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "fleet/fleet_run.h"
#include "fleet/outcome.h"

/// The work that runs in the children; each returns the payload that its child hands back
/// (fleet/wire.h).
struct fleet_probe {
    std::function<std::string()> fnEnumerate;
    std::function<std::string(const std::string& name)> fnReadScanner;
};

/// Enumerates the scanners and reads those requested (all when none is), within the limits (each
/// child killed when it passes its deadline). Requested names that are not attached are reported
/// absent after the others; an attached name seen twice is read once, with a message. Prints
/// nothing.
run_outcome ReadFleet(const fleet_probe& probe, const std::vector<std::string>& requested,
                      const fleet_limits& limits);
