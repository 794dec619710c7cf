// What the child that worked on one scanner hands back to the parent over its pipe, and the
// parent's check of it.
#pragma once

#include <string>
#include <vector>

#include "apply/outcome.h"

/// What the child found and did.
struct apply_result {
    ApplyStatus eStatus;  // any but kTimeout and kAbsent, which only the parent finds
    std::vector<fleet_message> vMessages;
    std::vector<setting_change> vChanges;
};

/// The result as JSON: statuses, severities and settings by name, values as numbers.
std::string EncodeApplyResult(const apply_result& result);

/// Reads what EncodeApplyResult wrote; false for anything else (not JSON, a key missing, added or
/// of the wrong type, an unknown name, a status that a child does not report).
bool DecodeApplyResult(const std::string& payload, apply_result* result);
