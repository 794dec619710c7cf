// Process helpers of the tests.
#include "tests/support/process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "access/binding.h"
#include "access/paths.h"
#include "cli/driver.h"

extern char** environ;

namespace {

// Under $TMPDIR when it is set, so that a run of the suite can be given a folder of its own.
std::string MakeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/orvex-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed in " + pattern);
    }
    return pattern;
}

RunResult Collect(int status, const std::string& outPath, const std::string& errPath) {
    RunResult result;
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

int WaitForPid(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    return status;
}

}  // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FilterTrace(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        std::string name = line.substr(0, line.find('('));
        for (const std::string& wanted : names) {
            if (name == wanted) {
                kept.push_back(line);
                break;
            }
        }
        if (names.empty()) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::vector<std::string> WithoutResults(const std::vector<std::string>& lines) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) {
        calls.push_back(line.substr(0, line.rfind(" = ")));
    }
    return calls;
}

RunResult RunInChild(const std::function<void()>& body) {
    std::string dir = MakeTempDir();
    std::string outPath = dir + "/out";
    std::string errPath = dir + "/err";
    fflush(stdout);
    fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        close(out);
        close(err);
        body();
        fflush(stdout);
        _exit(0);
    }
    RunResult result = Collect(WaitForPid(pid), outPath, errPath);
    std::filesystem::remove_all(dir);
    return result;
}

SimFleet SimFleet::FromFixture(const std::string& name) {
    return FromJson(ReadFile(std::string(ORVEX_TEST_FIXTURES) + "/" + name));
}

SimFleet SimFleet::FromJson(const std::string& json) {
    SimFleet fleet(MakeTempDir());
    fleet.WriteFleet(json);
    return fleet;
}

SimFleet::SimFleet(SimFleet&& other) noexcept : dir_(std::move(other.dir_)) {
    other.dir_.clear();
}

SimFleet::~SimFleet() {
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

int SimFleet::Start(const std::vector<std::string>& args, const std::string& tag) const {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "ORVEX_SIM_", 10) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("ORVEX_SIM_FLEET=" + fleetPath());
    env.push_back("ORVEX_SIM_TRACE=" + tracePath());
    std::vector<std::string> argv = {ORVEX_TEST_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());

    std::vector<char*> argvPointers;
    for (std::string& a : argv) {
        argvPointers.push_back(a.data());
    }
    argvPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (std::string& e : env) {
        envPointers.push_back(e.data());
    }
    envPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir_ + "/out." + tag).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (dir_ + "/err." + tag).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                             envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

RunResult SimFleet::WaitFor(int pid, const std::string& tag) const {
    int status = WaitForPid(pid);
    return Collect(status, dir_ + "/out." + tag, dir_ + "/err." + tag);
}

RunResult SimFleet::Run(const std::vector<std::string>& args) const {
    return WaitFor(Start(args, "run"), "run");
}

std::vector<std::string> SimFleet::TakeTrace() const {
    std::vector<std::string> lines = SplitLines(ReadFile(tracePath()));
    std::remove(tracePath().c_str());
    return lines;
}

std::string SimFleet::FleetText() const {
    return ReadFile(fleetPath());
}

void SimFleet::WriteFleet(const std::string& json) const {
    WriteFile(fleetPath(), json);
}

RunResult RunToolAgainstLibraries(const std::string& watchLibrary,
                                  const std::string& controlLibrary, const SimFleet& fleet,
                                  const std::vector<std::string>& args) {
    return RunInChild([&] {
        g_cpKorWatchPath = watchLibrary.c_str();
        g_cpZevControlPath = controlLibrary.c_str();
        setenv("ORVEX_SIM_FLEET", fleet.fleetPath().c_str(), 1);
        setenv("ORVEX_SIM_TRACE", fleet.tracePath().c_str(), 1);
        std::vector<std::string> words = {"orvexconsumables"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        int code = RunTool(static_cast<int>(words.size()), argv.data());
        // The run must have closed both libraries, whatever failed.
        bool loaded = g_pkorWatch != nullptr || g_pzevControl != nullptr ||
                      dlopen(watchLibrary.c_str(), RTLD_LAZY | RTLD_NOLOAD) != nullptr ||
                      dlopen(controlLibrary.c_str(), RTLD_LAZY | RTLD_NOLOAD) != nullptr;
        fflush(stdout);
        _exit(loaded ? 99 : code);
    });
}

unsigned long long ProcessSignalMask(int pid, const std::string& field) {
    for (const std::string& line :
         SplitLines(ReadFile("/proc/" + std::to_string(pid) + "/status"))) {
        if (line.rfind(field, 0) == 0) {
            return std::stoull(line.substr(field.size()), nullptr, 16);
        }
    }
    return 0;
}
