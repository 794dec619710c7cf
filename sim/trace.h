// Appending call-trace lines to the file named by ORVEX_SIM_TRACE.
#pragma once

#include <string>

namespace sim {

/// Appends name(arguments) = result as one line, with a single write, when ORVEX_SIM_TRACE names
/// a file; does nothing otherwise. A file that cannot be opened or written gets one line on
/// standard error, once per process.
void AppendTrace(const char* name, const std::string& arguments, const std::string& result);

/// Lets the next trace file that cannot be opened be reported again (tests).
void ResetTraceWarning();

}  // namespace sim
