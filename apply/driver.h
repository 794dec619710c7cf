// The apply program from command line to exit status.
#pragma once

#include "apply/scanner_work.h"

/// The program's name in messages and outputs.
extern const char* const g_cpApplyProgramName;
/// The package version, from the build.
extern const char* const g_cpApplyVersion;

/// Reads the command line and the policy, works on the fleet through service, writes the output
/// in the chosen format and returns the exit status (apply/outcome.h: 3 usage or policy error,
/// then 1 output not written, then 4, 2, 0 as the run found).
int RunApply(int argc, char** argv, const apply_service& service);
