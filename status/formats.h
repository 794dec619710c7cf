// The output formats, one row each: the -f value, the renderer, the exit statuses and the run's
// default deadline. The
// options, the help, the driver and the plugin's statuses read this table; adding a format is a
// row and its renderer.
#pragma once

#include <string>

#include "fleet/outcome.h"
#include "status/json_format.h"
#include "status/nagios_format.h"
#include "status/prometheus_format.h"
#include "status/table_format.h"

/// The exit statuses of json, prometheus and table; nagios exits with its plugin state.
inline constexpr int kExitComplete = 0;    // everything read
inline constexpr int kExitNotWritten = 1;  // the output could not be written
inline constexpr int kExitIncomplete = 2;  // written, but something could not be read
inline constexpr int kExitUsage = 3;       // also a policy file that is not valid

/// One output format.
struct output_format {
    const char* cpName;  // the value of -f
    std::string (*pRender)(const run_outcome& run, const program_info& program);
    // Of a run whose output was written; program's exit status is not yet known.
    int (*pExitStatus)(const run_outcome& run, const program_info& program);
    int iNotWrittenStatus;     // of a run whose output could not be written
    int iDefaultTotalTimeout;  // seconds for the whole run without --total-timeout; 0: none
    std::string (*pUsageError)(const std::string& error);  // standard output on a usage error;
                                                           // null: nothing
};

/// kExitComplete when everything was read, else kExitIncomplete.
inline int ReadingExitStatus(const run_outcome& run, const program_info&) {
    return IsCompleteReading(run) ? kExitComplete : kExitIncomplete;
}

/// The exit status of the run's plugin state.
inline int PluginRunExitStatus(const run_outcome& run, const program_info& program) {
    return PluginExitStatus(PluginStateOf(run, program));
}

/// The formats; the first is the default.
inline constexpr output_format kOutputFormats[] = {
    {"json", RenderJson, ReadingExitStatus, kExitNotWritten, 0, nullptr},
    {"prometheus", RenderPrometheus, ReadingExitStatus, kExitNotWritten, 0, nullptr},
    // A check has 60 s by default in Nagios and Icinga: the plugin answers before.
    {"nagios", RenderNagios, PluginRunExitStatus,
     3 /* UNKNOWN: a plugin whose output is lost knows nothing */, 50, RenderNagiosUsageError},
    {"table", RenderTable, ReadingExitStatus, kExitNotWritten, 0, nullptr},
};
