// Runs of the tool for the tests, over the generic program runner.
#include "tests/support/tool_run.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "access/binding.h"
#include "access/paths.h"
#include "cli/driver.h"

SimFleet SimFleet::FromFixture(const std::string& name) {
    return FromJson(ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/" + name));
}

SimFleet SimFleet::FromJson(const std::string& json) {
    SimFleet fleet;
    WriteWholeFile(fleet.fleetPath(), json);
    return fleet;
}

// The simulator's variables of the test process are left out: the run sees this fleet only.
int SimFleet::Start(const std::vector<std::string>& args, const std::string& tag) const {
    std::vector<std::string> argv = {ORVEX_TEST_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> environment = ChildEnvironment(
        {"ORVEX_SIM_FLEET=" + fleetPath(), "ORVEX_SIM_TRACE=" + tracePath()}, "ORVEX_SIM_");
    return StartProgram(argv, environment, dir() + "/out." + tag, dir() + "/err." + tag);
}

RunResult SimFleet::WaitFor(int pid, const std::string& tag) const {
    return WaitForProgram(pid, dir() + "/out." + tag, dir() + "/err." + tag);
}

RunResult SimFleet::Run(const std::vector<std::string>& args) const {
    return WaitFor(Start(args, "run"), "run");
}

std::vector<std::string> SimFleet::TakeTrace() const {
    std::vector<std::string> lines = SplitIntoLines(ReadWholeFile(tracePath()));
    std::remove(tracePath().c_str());
    return lines;
}

std::string SimFleet::FleetText() const {
    return ReadWholeFile(fleetPath());
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
        int code = RunTool(static_cast<int>(words.size()), ArgumentVector(words).data());
        // The run must have closed both libraries, whatever failed.
        bool loaded = g_pkorWatch != nullptr || g_pzevControl != nullptr ||
                      dlopen(watchLibrary.c_str(), RTLD_LAZY | RTLD_NOLOAD) != nullptr ||
                      dlopen(controlLibrary.c_str(), RTLD_LAZY | RTLD_NOLOAD) != nullptr;
        std::fflush(stdout);
        _exit(loaded ? 99 : code);
    });
}
