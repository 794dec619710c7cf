// Appending call-trace lines to the file named by ORVEX_SIM_TRACE.
#pragma once

#include <string>

namespace sim {

/// Appends name(arguments) = result as one line, with a single write, when ORVEX_SIM_TRACE names
/// a file; does nothing otherwise or when the file cannot be opened.
void AppendTrace(const char* name, const std::string& arguments, const std::string& result);

}  // namespace sim
