// The status program from command line to exit status.
#pragma once

#include "fleet/fleet_read.h"

/// The program's name in messages and outputs.
extern const char* const g_cpStatusProgramName;
/// The package version, from the build.
extern const char* const g_cpStatusVersion;

/// Reads the command line, reads the fleet through probe, writes the output in the chosen format
/// and returns the exit status (json, prometheus: 0, 2, 1 when the output could not be written,
/// 3 usage error; nagios: the plugin state's status).
int RunStatus(int argc, char** argv, const fleet_probe& probe);
