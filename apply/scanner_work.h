// The work of the children: the enumeration, and bringing one scanner to the policy through the
// service libraries with the tool's own change operations. Meant to run in a child process only
// (fleet/child.h): it loads the libraries.
#pragma once

#include <functional>
#include <string>

#include "fleet/policy.h"

/// The work that runs in the children; each returns the payload that its child hands back.
struct apply_service {
    std::function<std::string()> fnEnumerate;  // EncodeDeviceList's payload (fleet/wire.h)
    // EncodeApplyResult's payload (apply/payload.h)
    std::function<std::string(const std::string& name, const policy_settings& settings, bool check)>
        fnApply;
};

/// Loads the libraries, claims the scanner as the tool does, compares its sleep timer and
/// power-off with the settings and, unless check, writes those that differ, in the tool's order
/// and with its calls (EnterWritePhase before the first); releases the scanner in the order of
/// the tool's teardown and unloads the libraries. Reads nothing back. A scanner for which the
/// settings ask nothing is not opened. The payload of EncodeApplyResult.
std::string ApplyToScanner(const std::string& name, const policy_settings& settings, bool check);

/// EnumerateDevices and ApplyToScanner, as the driver takes them.
apply_service ServiceApply();
