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

// The program's words.
std::vector<std::string> StatusArgv(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {ORVEX_TEST_STATUS_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// The simulator's variables of the test process are left out: the run sees this fleet only.
std::vector<std::string> StatusEnvironment(const std::string& fleetPath,
                                           const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> extra = extraEnvironment;
    extra.push_back("ORVEX_SIM_FLEET=" + fleetPath);
    return ChildEnvironment(extra, "ORVEX_SIM_");
}

}  // namespace

RunResult RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment) {
    return RunProgram(StatusArgv(args), StatusEnvironment(fleetPath, extraEnvironment));
}

int StartStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                       const std::vector<std::string>& extraEnvironment, const std::string& outPath,
                       const std::string& errPath) {
    return StartProgram(StatusArgv(args), StatusEnvironment(fleetPath, extraEnvironment), outPath,
                        errPath);
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

report_view FullReport() {
    report_view report{};
    report.strProductId = "ko-330xs";
    report.strRevision = "1.00";
    report.strSerialNumber = "KV33A0001";
    report.iAdfSheets = 12345;
    report.oFlatbedSheets = 678;
    report.vConsumables = {
        {ConsumableKind::kAfterCleaning, "After cleaning:", 120, CounterMarks::kNone, true},
        {ConsumableKind::kBrakeRoller, "Brake Roller:", 5000, CounterMarks::kSecond, true},
        {ConsumableKind::kPickRoller, "Pick Roller:", 6000, CounterMarks::kFirst, true},
    };
    report.oSleepTimer = sleep_timer_view{15, 5, 60};
    report.oPowerOff = power_off_view{true, 2};
    report.oOffsets =
        offsets_view{{0.5, -1.0, 0.0}, {0.0, 1.5, -0.5}, side_offsets_view{1.0, 0.0, std::nullopt}};
    report.oMagnification = magnification_view{15, -31};
    return report;
}

report_view BareReport() {
    report_view report{};
    report.strProductId = "ko-225Wxs";
    report.strRevision = "2.01";
    report.strSerialNumber = "KV22W0002";
    report.iAdfSheets = 4321;
    report.vConsumables = {{ConsumableKind::kRoller, "Felt:", 30000, CounterMarks::kNone, false}};
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
