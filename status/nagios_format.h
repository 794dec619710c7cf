// The run as the output of a monitoring plugin (Nagios, Icinga and the like).
#pragma once

#include <string>

#include "fleet/outcome.h"

/// Plugin states in rising order of weight: a run's state is the weightiest of its parts.
enum class PluginState { kOk, kUnknown, kWarning, kCritical };

/// CRITICAL when the libraries, the enumeration or a scanner failed (timeout, error, a requested
/// scanner absent); UNKNOWN when a scanner was busy; WARNING when a consumable carries a mark.
PluginState PluginStateOf(const run_outcome& run);

/// The exit status of a state by the plugin guidelines: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.
int PluginExitStatus(PluginState state);

/// "ORVEXCONSUMABLES <STATE> - <summary> | <perfdata>", then a line per scanner and per message
/// of the run. Texts are kept on their line and clear of the perfdata separator.
std::string RenderNagios(const run_outcome& run);

/// "ORVEXCONSUMABLES UNKNOWN - <error>": a plugin that was called wrongly knows nothing.
std::string RenderNagiosUsageError(const std::string& error);
