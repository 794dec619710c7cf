// The status program's course: options, reading, rendering, writing, exit status.
#include "status/driver.h"

#include <signal.h>

#include <chrono>
#include <cstdio>

#include "fleet/output.h"
#include "fleet/termination.h"
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

// A temporary output file older than this was left by a run that was killed while writing.
constexpr time_t kStaleTemporarySeconds = 3600;

// Replaces the output file; its temporary file is removed if the run is ended meanwhile, and
// those that killed runs left are removed after it.
bool ReplaceOutputFile(const std::string& path, const std::string& text, std::string* error) {
    if (!ReplaceFileAtomically(path, text, kOutputFile, error, RemoveOnTermination)) {
        return false;
    }
    RemoveStaleTemporaryFiles(path, kOutputFile, kStaleTemporarySeconds);
    return true;
}

// The limits of the reading: the whole run's, if any, counted from the program's start.
fleet_limits ReadingLimits(const status_options& options,
                           std::chrono::steady_clock::time_point start) {
    fleet_limits limits{std::chrono::seconds(options.iTimeoutSeconds)};
    int total = TotalTimeoutSeconds(options);
    if (total > 0) {
        limits.tUntil = start + std::chrono::seconds(total);
    }
    return limits;
}

bool Write(const status_options& options, const std::string& text) {
    std::string error;
    bool written = options.strOutputPath.empty()
                       ? WriteToStandardOutput(text, &error)
                       : ReplaceOutputFile(options.strOutputPath, text, &error);
    if (!written) {
        std::fprintf(stderr, "%s: %s\n", g_cpStatusProgramName, error.c_str());
    }
    return written;
}

}  // namespace

int RunStatus(int argc, char** argv, const fleet_probe& probe) {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    signal(SIGPIPE, SIG_IGN);  // a closed output is a failed write, not the end of the program
    // Told to end, the run takes its reading children and its temporary output file with it.
    InstallTerminationHandlers();
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
    run_outcome run = ReadFleet(probe, options.vDeviceNames, ReadingLimits(options, start));
    const output_format& format = *options.pFormat;
    int exitStatus = format.pExitStatus(run);
    program_info program{g_cpStatusProgramName, g_cpStatusVersion, exitStatus};
    return Write(options, format.pRender(run, program)) ? exitStatus : format.iNotWrittenStatus;
}
