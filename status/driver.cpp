// The status program's course: options, reading, rendering, writing, exit status.
#include "status/driver.h"

#include <signal.h>

#include <chrono>
#include <cstdio>

#include "status/json_format.h"
#include "status/nagios_format.h"
#include "status/options.h"
#include "status/output.h"
#include "status/prometheus_format.h"

const char* const g_cpStatusProgramName = "orvexconsumables-status";
const char* const g_cpStatusVersion = ORVEX_STATUS_VERSION;

namespace {

constexpr int kExitComplete = 0;
constexpr int kExitNotWritten = 1;
constexpr int kExitIncomplete = 2;
constexpr int kExitUsage = 3;
constexpr int kPluginUnknown = 3;  // a plugin whose output cannot be written knows nothing

int ReportUsageError(const status_options& options, const std::string& error) {
    if (options.eFormat == OutputFormat::kNagios) {
        std::printf("ORVEXCONSUMABLES UNKNOWN - %s\n", error.c_str());
    }
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", g_cpStatusProgramName, error.c_str(),
                 g_cpStatusProgramName);
    return kExitUsage;
}

int ExitStatusOf(const run_outcome& run, OutputFormat format) {
    if (format == OutputFormat::kNagios) {
        return PluginExitStatus(PluginStateOf(run));
    }
    return IsCompleteReading(run) ? kExitComplete : kExitIncomplete;
}

std::string Render(const run_outcome& run, OutputFormat format, int exitStatus) {
    program_info program{g_cpStatusProgramName, g_cpStatusVersion, exitStatus};
    switch (format) {
        case OutputFormat::kPrometheus:
            return RenderPrometheus(run, program);
        case OutputFormat::kNagios:
            return RenderNagios(run);
        case OutputFormat::kJson:
            break;
    }
    return RenderJson(run, program);
}

bool Write(const status_options& options, const std::string& text) {
    std::string error;
    bool written = options.strOutputPath.empty()
                       ? WriteToStandardOutput(text, &error)
                       : ReplaceFileAtomically(options.strOutputPath, text, &error);
    if (!written) {
        std::fprintf(stderr, "%s: %s\n", g_cpStatusProgramName, error.c_str());
    }
    return written;
}

}  // namespace

int RunStatus(int argc, char** argv, const fleet_probe& probe) {
    signal(SIGPIPE, SIG_IGN);  // a closed output is a failed write, not the end of the program
    status_options options;
    std::string error;
    if (!ParseStatusOptions(argc, argv, &options, &error)) {
        return ReportUsageError(options, error);
    }
    if (options.bHelp || options.bVersion) {
        std::string text =
            options.bHelp ? StatusHelpText()
                          : std::string(g_cpStatusProgramName) + " " + g_cpStatusVersion + "\n";
        return Write(status_options{}, text) ? kExitComplete : kExitNotWritten;
    }
    run_outcome run = ReadFleet(probe, options.vDeviceNames,
                                fleet_limits{std::chrono::seconds(options.iTimeoutSeconds)});
    int exitStatus = ExitStatusOf(run, options.eFormat);
    if (!Write(options, Render(run, options.eFormat, exitStatus))) {
        return options.eFormat == OutputFormat::kNagios ? kPluginUnknown : kExitNotWritten;
    }
    return exitStatus;
}
