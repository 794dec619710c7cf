// The apply program's course: options, policy, the fleet's work, rendering, writing, exit status.
#include "apply/driver.h"

#include <signal.h>

#include <chrono>
#include <cstdio>

#include "apply/fleet_apply.h"
#include "apply/options.h"
#include "fleet/output.h"
#include "fleet/termination.h"

const char* const g_cpApplyProgramName = "orvexconsumables-apply";
const char* const g_cpApplyVersion = ORVEX_APPLY_VERSION;

namespace {

int ReportUsageError(const std::string& error) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", g_cpApplyProgramName, error.c_str(),
                 g_cpApplyProgramName);
    return kExitUsage;
}

int ReportPolicyError(const std::string& error) {
    std::fprintf(stderr, "%s: %s\n", g_cpApplyProgramName, error.c_str());
    return kExitUsage;
}

bool Write(const std::string& text) {
    std::string error;
    if (!WriteToStandardOutput(text, &error)) {
        std::fprintf(stderr, "%s: %s\n", g_cpApplyProgramName, error.c_str());
        return false;
    }
    return true;
}

// Reads the policy that the options name; false after the message, when there is nothing to
// apply or the policy is wrong.
bool ReadApplyPolicy(const apply_options& options, site_policy* policy, int* exitStatus) {
    bool named = !options.strPolicyPath.empty();
    std::string path = named ? options.strPolicyPath : g_cpDefaultPolicyPath;
    std::string error;
    switch (ReadPolicy(path, named, policy, &error)) {
        case PolicyRead::kInvalid:
            *exitStatus = ReportPolicyError(error);
            return false;
        case PolicyRead::kAbsent:
            *exitStatus = ReportUsageError("nothing to apply: there is no policy file " + path);
            return false;
        case PolicyRead::kRead:
            break;
    }
    if (!SetsAnySetting(*policy)) {
        *exitStatus = ReportUsageError("nothing to apply: the policy " + path +
                                       " sets no sleep timer or power off");
        return false;
    }
    return true;
}

}  // namespace

int RunApply(int argc, char** argv, const apply_service& service) {
    signal(SIGPIPE, SIG_IGN);  // a closed output is a failed write, not the end of the program
    apply_options options;
    std::string error;
    if (!ParseApplyOptions(argc, argv, &options, &error)) {
        return ReportUsageError(error);
    }
    if (options.bHelp || options.bVersion) {
        std::string text = options.bHelp
                               ? ApplyHelpText()
                               : std::string(g_cpApplyProgramName) + " " + g_cpApplyVersion + "\n";
        return Write(text) ? kExitCompliant : kExitNotWritten;
    }
    site_policy policy;
    int exitStatus = kExitUsage;
    if (!ReadApplyPolicy(options, &policy, &exitStatus)) {
        return exitStatus;
    }
    // Told to end, the children that only read die with the program; those that write go on.
    InstallTerminationHandlers();
    fleet_limits limits{std::chrono::seconds(options.iTimeoutSeconds), options.iJobs};
    apply_run run = ApplyToFleet(service, policy, options.vDeviceNames, options.bCheck, limits);
    exitStatus = ApplyExitStatus(run);
    program_info program{g_cpApplyProgramName, g_cpApplyVersion, exitStatus};
    return Write(options.pFormat->pRender(run, program)) ? exitStatus : kExitNotWritten;
}
