// The status program's course: options, policy, reading, stored readings, rendering, writing,
// exit status.
#include "status/driver.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "fleet/fleet_paths.h"
#include "fleet/output.h"
#include "fleet/policy.h"
#include "fleet/state_store.h"
#include "fleet/termination.h"
#include "status/formats.h"
#include "status/options.h"
#include "status/policy_view.h"
#include "status/unique_devices.h"

const char* const g_cpStatusProgramName = "orvexconsumables-status";
const char* const g_cpStatusVersion = ORVEX_STATUS_VERSION;

namespace {

// The error on standard error, and what the format prints on standard output for it.
int ReportError(const status_options& options, const std::string& error, bool tryHelp) {
    if (options.pFormat->pUsageError != nullptr) {
        std::fputs(options.pFormat->pUsageError(error).c_str(), stdout);
    }
    std::fprintf(stderr, "%s: %s\n", g_cpStatusProgramName, error.c_str());
    if (tryHelp) {
        std::fprintf(stderr, "Try '%s --help'.\n", g_cpStatusProgramName);
    }
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
    fleet_limits limits{std::chrono::seconds(options.iTimeoutSeconds), options.iJobs};
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

// The policy named on the command line (which must exist), else the default one if it exists.
bool ReadSitePolicy(const status_options& options, site_policy* policy, std::string* error) {
    bool named = !options.strPolicyPath.empty();
    return ReadPolicy(named ? options.strPolicyPath : g_cpDefaultPolicyPath, named, policy,
                      error) != PolicyRead::kInvalid;
}

// The readings of the fleet, combined with the stored ones, which they then replace. The store is
// read once, at the end under its lock: the children are forked from a process that holds none of
// it, and a busy scanner gets the latest reading that any run stored.
run_outcome ReadWithState(const status_options& options, const fleet_probe& probe,
                          std::chrono::steady_clock::time_point start) {
    std::string folder = options.strStateDir.empty() ? g_cpDefaultStateDir : options.strStateDir;
    std::vector<fleet_message> stateMessages;
    bool keepsState = !options.bNoState && PrepareStateFolder(folder, &stateMessages);
    run_outcome run = ReadFleet(probe, options.vDeviceNames, ReadingLimits(options, start));
    long long now = static_cast<long long>(std::time(nullptr));
    KeepOneScannerPerName(&run);
    if (keepsState) {
        UseAndStoreReadings(folder, now, &run, &stateMessages);
    } else {
        CombineWithStore({}, now, &run);
    }
    run.vMessages.insert(run.vMessages.end(), stateMessages.begin(), stateMessages.end());
    return run;
}

// Colours only for a terminal, and only when NO_COLOR is unset.
bool UsesColour(const status_options& options) {
    return options.strOutputPath.empty() && isatty(STDOUT_FILENO) == 1 &&
           std::getenv("NO_COLOR") == nullptr;
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
        return ReportError(options, error, true);
    }
    if (options.bHelp || options.bVersion) {
        std::string text =
            options.bHelp ? StatusHelpText()
                          : std::string(g_cpStatusProgramName) + " " + g_cpStatusVersion + "\n";
        return Write(status_options{}, text) ? kExitComplete : kExitNotWritten;
    }
    site_policy policy;
    if (!ReadSitePolicy(options, &policy, &error)) {
        return ReportError(options, error, false);
    }
    run_outcome run = ReadWithState(options, probe, start);
    ApplyPolicy(policy, &run);
    const output_format& format = *options.pFormat;
    program_info program{g_cpStatusProgramName,   g_cpStatusVersion,        0,
                         options.iWarningPercent, options.iCriticalPercent, UsesColour(options)};
    program.iExitStatus = format.pExitStatus(run, program);
    return Write(options, format.pRender(run, program)) ? program.iExitStatus
                                                        : format.iNotWrittenStatus;
}
