// Temporary folders, program runs and scanner holders for the status program's tests.
#include "tests/support/status_support.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

// The test's environment without the simulator's variables and without those given, plus those.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string name = NameOf(*e);
        bool replaced = std::any_of(extra.begin(), extra.end(),
                                    [&](const std::string& x) { return NameOf(x) == name; });
        if (!replaced && name.rfind("ORVEX_SIM_", 0) != 0) {
            entries.emplace_back(*e);
        }
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvex-status-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ProgramRun RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                            const std::vector<std::string>& extraEnvironment) {
    TempDir capture;
    std::vector<std::string> extra = extraEnvironment;
    extra.push_back("ORVEX_SIM_FLEET=" + fleetPath);
    std::vector<std::string> environment = Environment(extra);
    std::vector<std::string> argv = {ORVEX_TEST_STATUS_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (capture.path() + "/out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (capture.path() + "/err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                             envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    ProgramRun run;
    run.exitCode = WaitForExit(pid);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.out = ReadWholeFile(capture.path() + "/out");
    run.err = ReadWholeFile(capture.path() + "/err");
    return run;
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
    WaitForExit(pid_);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> SplitIntoLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
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
