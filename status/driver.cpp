// The status program's course: options, reading, rendering, writing, exit status.
#include "status/driver.h"

#include <signal.h>

#include <chrono>
#include <cstdio>

#include "fleet/output.h"
#include "status/formats.h"
#include "status/options.h"

const char* const g_cpStatusProgramName = "orvexconsumables-status";
const char* const g_cpStatusVersion = ORVEX_STATUS_VERSION;

namespace {

int ReportUsageError(const status_options& options, const std::string& error) {
    if (options.pFormat->pUsageError != nullptr) {
        std::fputs(options.pFormat->pUsageError(error).c_str(), stdout);
    }
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", g_cpStatusProgramName, error.c_str(),
                 g_cpStatusProgramName);
    return kExitUsage;
}

bool Write(const status_options& options, const std::string& text) {
    std::string error;
    bool written = options.strOutputPath.empty()
                       ? WriteToStandardOutput(text, &error)
                       : ReplaceFileAtomically(options.strOutputPath, text, kOutputFile, &error);
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
    const output_format& format = *options.pFormat;
    int exitStatus = format.pExitStatus(run);
    program_info program{g_cpStatusProgramName, g_cpStatusVersion, exitStatus};
    return Write(options, format.pRender(run, program)) ? exitStatus : format.iNotWrittenStatus;
}
