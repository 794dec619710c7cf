// Program runs and scanner holders for the status program's tests.
#include "tests/support/status_support.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {

using ClaimFunction = int(const char*);

[[noreturn]] void HoldScanner(const std::string& fleetPath, const std::string& name, int report,
                              int release) {
    setenv("ORVEX_SIM_FLEET", fleetPath.c_str(), 1);
    void* library = dlopen(ORVEX_TEST_SIM_ROOT "/opt/orvex/lib/libkorwatch.so", RTLD_NOW);
    auto* claim =
        library ? reinterpret_cast<ClaimFunction*>(dlsym(library, "korwc_StartExcusive")) : nullptr;
    char granted = claim != nullptr && claim(name.c_str()) != 0 ? 1 : 0;
    char ignored = 0;
    if (write(report, &granted, 1) == 1) {
        while (read(release, &ignored, 1) > 0) {
        }
    }
    _exit(0);
}

}  // namespace

// The simulator's variables of the test process are left out: the run sees this fleet only.
RunResult RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> extra = extraEnvironment;
    extra.push_back("ORVEX_SIM_FLEET=" + fleetPath);
    std::vector<std::string> argv = {ORVEX_TEST_STATUS_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, ChildEnvironment(extra, "ORVEX_SIM_"));
}

ScannerHolder::ScannerHolder(const std::string& fleetPath, const std::string& name) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(up[0]);
        close(down[1]);
        HoldScanner(fleetPath, name, up[1], down[0]);
    }
    close(up[1]);
    close(down[0]);
    release_ = down[1];
    char granted = 0;
    holds_ = read(up[0], &granted, 1) == 1 && granted == 1;
    close(up[0]);
}

ScannerHolder::~ScannerHolder() {
    close(release_);
    try {
        WaitForChild(pid_);
    } catch (const std::runtime_error&) {
        // Nothing left to reap; a destructor must not throw.
    }
}

report_model FullReport() {
    report_model report{};
    report.strProductId = "ko-330xs";
    report.strRevision = "1.00";
    report.strSerialNumber = "KV33A0001";
    report.iAdfTotal = 12345;
    report.bHasFlatbed = true;
    report.iFbTotal = 678;
    report.vCounters = {
        {ConsumableKind::kAfterCleaning, "After cleaning:", 120, false, false, false, true},
        {ConsumableKind::kBrakeRoller, "Brake Roller:", 5000, true, false, true, true},
        {ConsumableKind::kPickRoller, "Pick Roller:", 6000, true, true, false, true},
    };
    report.bPowerSaveSupported = true;
    report.llSleepMinutes = 15;
    report.bPowerOffSupported = true;
    report.bPowerOffActive = true;
    report.iPowerOffSetting = 1;
    report.bHasOffsets = true;
    report.bHasEndOfPage = true;
    report.bHasFlatbedOffsets = true;
    report.stAdfFront = {1, -2, 0};
    report.stAdfBack = {0, 3, -1};
    report.stFlatbed = {2, 0, 0};
    report.iAdfMagnification = 15;
    report.iFbMagnification = -31;
    return report;
}

report_model BareReport() {
    report_model report{};
    report.strProductId = "ko-225Wxs";
    report.strRevision = "2.01";
    report.strSerialNumber = "KV22W0002";
    report.iAdfTotal = 4321;
    report.vCounters = {{ConsumableKind::kRoller, "Felt:", 30000, true, false, false, false}};
    return report;
}

run_outcome MixedRun() {
    run_outcome run{EnumerationStatus::kOk, 3, 1.5, {}, {}};
    run.vMessages = {{Severity::kWarning, "two attached scanners are named 'x'"}};
    run.vScanners = {
        {"ko-330xs:KV33A0001", ScannerStatus::kOk, 0.25, {}, FullReport()},
        {"odd \"name\\\n\xef\xbf\xbd", ScannerStatus::kOk, 0.125, {}, BareReport()},
        {"ko-330xs:BUSY", ScannerStatus::kBusy, 0.0625, {{Severity::kWarning, "in use"}}, {}},
        {"gone", ScannerStatus::kAbsent, 0, {{Severity::kError, "not attached"}}, {}},
    };
    return run;
}
