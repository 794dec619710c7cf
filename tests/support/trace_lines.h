// Call-trace lines for tests, in the format of the simulated service and the in-process fakes:
// `name(arguments) = result`. Part of the generic test support: no project layer here.
#pragma once

#include <string>
#include <vector>

/// The name of the entry point of a trace line.
std::string EntryPointName(const std::string& line);
/// The names of the entry points in trace lines, in order.
std::vector<std::string> EntryPointNames(const std::vector<std::string>& lines);
/// The trace lines whose entry-point name is one of names (all lines when names is empty).
std::vector<std::string> FilterTrace(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& names);
/// The trace lines without their results (" = ..."), for calls whose result the tool ignores.
std::vector<std::string> WithoutResults(const std::vector<std::string>& lines);
