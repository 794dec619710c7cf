// The run as a table for people: a block per scanner, a line per consumable with a bar of the
// life left, then the settings against the policy.
#pragma once

#include <string>

#include "fleet/outcome.h"

/// The blocks, separated by blank lines, then the run's messages; lines fit 80 columns (but for a
/// device name longer than 70). Colours (ANSI) only when program.bColour: the life left red at or
/// below the critical share, yellow at or below the warning share, else green; marks and
/// settings out of the policy yellow; a status other than ok yellow (busy) or red.
std::string RenderTable(const run_outcome& run, const program_info& program);
