// The run as the output of a monitoring plugin (Nagios, Icinga and the like).
#pragma once

#include <string>

#include "fleet/outcome.h"

/// Plugin states in rising order of weight: a run's state is the weightiest of its parts.
enum class PluginState { kOk, kUnknown, kWarning, kCritical };

/// CRITICAL when the libraries, the enumeration or a scanner failed (timeout, error, a requested
/// scanner absent), or a part has no more than program's critical share of its life left;
/// WARNING when a consumable carries a mark, a part has no more than the warning share of its
/// life left, or a setting is out of the policy; UNKNOWN when a scanner was busy. A busy scanner
/// with a stored reading is judged on that reading, and is at least UNKNOWN.
PluginState PluginStateOf(const run_outcome& run, const program_info& program);

/// The exit status of a state by the plugin guidelines: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.
int PluginExitStatus(PluginState state);

/// "ORVEXCONSUMABLES <STATE> - <summary> | <perfdata>", then a line per scanner and per message
/// of the run. Texts are kept on their line and clear of the perfdata separator; each perfdata
/// label is unique (a scanner's position follows its name where two names read the same).
std::string RenderNagios(const run_outcome& run, const program_info& program);

/// "ORVEXCONSUMABLES UNKNOWN - <error>": a plugin that was called wrongly knows nothing.
std::string RenderNagiosUsageError(const std::string& error);
