// Program runs and scanner holders for the status program's tests.
#include "tests/support/status_support.h"

#include <dlfcn.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdlib>
#include <regex>
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

std::vector<std::string> StatusProgramArguments(const std::string& fleetPath,
                                                const std::vector<std::string>& args) {
    std::vector<std::string> argv = {ORVEX_TEST_STATUS_TOOL};
    bool namesState = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg.rfind("--state-dir", 0) == 0 || arg == "--no-state";
    });
    if (!namesState) {
        argv.push_back("--state-dir=" + fleetPath.substr(0, fleetPath.rfind('/') + 1) + "state");
    }
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// The simulator's variables of the test process are left out: the run sees this fleet only.
std::vector<std::string> StatusProgramEnvironment(
    const std::string& fleetPath, const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> extra = extraEnvironment;
    extra.push_back("ORVEX_SIM_FLEET=" + fleetPath);
    return ChildEnvironment(extra, "ORVEX_SIM_");
}

}  // namespace

nlohmann::json FleetScanner(const std::string& name, const std::string& serial,
                            const nlohmann::json& extra) {
    nlohmann::json scanner = {
        {"name", name},
        {"firmware", "0C31"},
        {"identification",
         {{"productId", "ko-330xs"}, {"revision", "1.00"}, {"serialNumber", serial}}},
        {"totals", {{"adf", 100}, {"hasFlatbed", false}}},
        {"counters", {{"pick", {{"label", "Pick Roller:"}, {"count", 60}}}}},
    };
    scanner.update(extra);
    return scanner;
}

void Fleet::Write(const std::vector<nlohmann::json>& scanners) const {
    WriteWholeFile(path, nlohmann::json({{"scanners", scanners}}).dump(2));
}

RunResult RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment) {
    return RunProgram(StatusProgramArguments(fleetPath, args),
                      StatusProgramEnvironment(fleetPath, extraEnvironment));
}

RunResult RunStatusProgramOnTerminal(const std::string& fleetPath,
                                     const std::vector<std::string>& args,
                                     const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> argv = StatusProgramArguments(fleetPath, args);
    std::vector<std::string> environment = StatusProgramEnvironment(fleetPath, extraEnvironment);
    std::vector<char*> argp = ArgumentVector(argv), envp = ArgumentVector(environment);
    int terminal = -1;
    std::fflush(nullptr);
    pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    RunResult result;
    char buffer[4096];
    ssize_t got = 0;
    // The terminal's reading side ends with EIO once the program has closed it.
    while (pid > 0 && ((got = read(terminal, buffer, sizeof buffer)) > 0 || errno == EINTR)) {
        result.out.append(buffer, got > 0 ? static_cast<size_t>(got) : 0);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    close(terminal);
    return result;
}

// Masked only where they are plain numbers and times, so that anything else stays compared.
std::string WithoutTimes(const std::string& text) {
    // A short duration is written with an exponent ("5e-05").
    static const std::regex json(
        "(\"(duration_seconds|read_at|at)\": )(\"[0-9T:Z-]+\"|[0-9.]+(e-?[0-9]+)?)");
    static const std::regex prometheus("(_(duration|timestamp)_seconds(\\{[^}]*\\})? )[0-9.]+\n");
    return std::regex_replace(std::regex_replace(text, json, "$1T"), prometheus, "$1T\n");
}

int StartStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                       const std::vector<std::string>& extraEnvironment, const std::string& outPath,
                       const std::string& errPath) {
    return StartProgram(StatusProgramArguments(fleetPath, args),
                        StatusProgramEnvironment(fleetPath, extraEnvironment), outPath, errPath);
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

namespace {

// The time of MixedRun's readings: 2026-12-08T09:00:00Z.
constexpr long long kMixedRunTime = 1796720400;

void SetLife(scanner_outcome* scanner, ConsumableKind kind, int32_t sheets) {
    scanner->aLife[static_cast<size_t>(kind)] = sheets;
}

scanner_outcome FullScanner() {
    scanner_outcome full{"ko-330xs:KV33A0001", ScannerStatus::kOk,  0.25, {},
                         FullReport(),         "ko-330xs:KV33A0001"};
    full.llReadAt = kMixedRunTime;
    SetLife(&full, ConsumableKind::kAfterCleaning, 5000);
    SetLife(&full, ConsumableKind::kBrakeRoller, 5500);
    SetLife(&full, ConsumableKind::kPickRoller, 200000);
    full.aReplaced[static_cast<size_t>(ConsumableKind::kAfterCleaning)] =
        consumable_replacement{kMixedRunTime - 86400, 4800};
    full.oPolicy = settings_check{{{PolicySetting::kSleepTimer, 15, 15, 15, true},
                                   {PolicySetting::kPowerOff, 0, 0, 1, false}},
                                  {}};
    return full;
}

}  // namespace

run_outcome MixedRun() {
    run_outcome run{EnumerationStatus::kOk, 5, 1.5, {}, {}};
    run.vMessages = {{Severity::kWarning, "two attached scanners are named 'x'"}};
    scanner_outcome odd{"odd \"name\\\n\xef\xbf\xbd", ScannerStatus::kOk, 0.125, {}, BareReport(),
                        "odd \"name\\\n\xff"};
    odd.llReadAt = kMixedRunTime;
    scanner_outcome held{"ko-330xs:HELD", ScannerStatus::kBusy,
                         0.0625,          {{Severity::kWarning, "in use"}},
                         BareReport(),    "ko-330xs:HELD"};
    held.bCached = true;
    held.llReadAt = kMixedRunTime - 3600;
    SetLife(&held, ConsumableKind::kRoller, 40000);
    run.vScanners = {
        FullScanner(),
        odd,
        held,
        {"ko-330xs:BUSY",
         ScannerStatus::kBusy,
         0.0625,
         {{Severity::kWarning, "in use"}},
         {},
         "ko-330xs:BUSY"},
        {"gone", ScannerStatus::kAbsent, 0, {{Severity::kError, "not attached"}}, {}, "gone"},
    };
    return run;
}
