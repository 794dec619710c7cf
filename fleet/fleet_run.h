// A run over the fleet from the process that writes the output: the enumeration in a child, then
// one child per chosen scanner, several at once, each with its own deadline.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "fleet/child.h"
#include "fleet/outcome.h"

/// The limits of a fleet run.
struct fleet_limits {
    std::chrono::steady_clock::duration dDeadline;  // the enumeration's, and each scanner's
    int iParallel = 1;                              // scanner children at once
    // The run's end: no child (the enumeration's either) is started after it, and none is left
    // reading past it.
    std::chrono::steady_clock::time_point tUntil = std::chrono::steady_clock::time_point::max();
};

/// One chosen scanner and how its child ended.
struct fleet_scanner {
    std::string strName;  // as the library gives it, byte for byte
    child_result stChild;
};

/// What a fleet run found.
struct fleet_run {
    EnumerationStatus eEnumeration;
    std::vector<fleet_message> vMessages;  // about the run
    int iAttached;                         // scanners enumerated, named or not (0 when it failed)
    std::vector<fleet_scanner> vScanners;  // in enumeration order, each name once
    std::vector<std::string> vAbsent;      // requested, not attached, each once
};

/// Enumerates the scanners in a child (its payload as EncodeDeviceList writes it) and runs `work`
/// for those requested (all when none is) in children of their own. An attached name seen twice
/// is worked on once, with a message; an index that the enumeration gave no name for is an error
/// message and no scanner. After a failed enumeration no scanner is worked on. Prints nothing.
fleet_run RunFleet(const std::function<std::string()>& enumerate,
                   const std::function<std::string(const std::string& name)>& work,
                   const std::vector<std::string>& requested, const fleet_limits& limits);

/// True when a child that timed out was killed at the run's end (tUntil) before its own deadline
/// came.
bool IsCutShortByTheRunsEnd(const child_result& child,
                            std::chrono::steady_clock::duration deadline);

/// The whole seconds of a deadline, for messages.
std::string WholeSeconds(std::chrono::steady_clock::duration deadline);
