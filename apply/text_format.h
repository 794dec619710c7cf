// The run for a person: a line per scanner, then the run's messages and a summary line.
#pragma once

#include <string>

#include "apply/outcome.h"

/// "<device>: <status>[ - <details>]" for each scanner, where the details are its changes
/// ("sleep timer 30 -> 15 minutes", a change not written marked "(not applied)") and then its
/// messages; then "<severity>: <text>" for each message of the run; then "N scanners: X
/// compliant, Y changed, ..." (with the enumeration's status when it failed). Texts are kept on
/// their line.
std::string RenderApplyText(const apply_run& run, const program_info& program);
