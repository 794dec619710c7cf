// Tests of the built stand-in libraries: exactly the entry points exported, variants lacking one
// each, and a real load that finds the fleet file beside the library.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "sim/fleet.h"
#include "sim/test_support.h"
#include "tests/support/process.h"

namespace {

const std::string kLib = "/opt/orvex/lib/";

// The names of the symbols a shared library defines for others, sorted.
std::set<std::string> Exported(const std::string& path) {
    std::set<std::string> names;
    std::string command = "nm -D --defined-only '" + path + "' 2>/dev/null";
    FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) {
        return names;
    }
    char line[512];
    while (std::fgets(line, sizeof line, out) != nullptr) {
        char address[64], kind[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, kind, name) == 3) {
            names.insert(name);
        }
    }
    pclose(out);
    return names;
}

std::set<std::string> Names(int first, int count) {
    return std::set<std::string>(sim::kEntryPointNames + first,
                                 sim::kEntryPointNames + first + count);
}

TEST(LibrariesTest, EachLibraryExportsExactlyItsEntryPoints) {
    EXPECT_EQ(Exported(SIM_TEST_ROOT + kLib + "libkorwatch.so"), Names(0, 11));
    EXPECT_EQ(Exported(SIM_TEST_ROOT + kLib + "libzevcontrol.so"), Names(11, 15));
}

TEST(LibrariesTest, EachVariantLacksExactlyItsSymbol) {
    for (int i = 0; i < 26; ++i) {
        std::string symbol = sim::kEntryPointNames[i];
        std::string dir = std::string(SIM_TEST_VARIANTS) + "/no-" + symbol + kLib;
        std::set<std::string> watch = Names(0, 11);
        std::set<std::string> control = Names(11, 15);
        (i < 11 ? watch : control).erase(symbol);
        EXPECT_EQ(Exported(dir + "libkorwatch.so"), watch) << symbol;
        EXPECT_EQ(Exported(dir + "libzevcontrol.so"), control) << symbol;
    }
}

// Loads both laid-out libraries in a child process and returns what it found as an exit code:
// the device count of the default fleet file times 10 plus the control library's initlibrary
// result for the first device.
int LoadInChild() {
    RunResult run = RunInChild([] {
        unsetenv("ORVEX_SIM_FLEET");
        unsetenv("ORVEX_SIM_TRACE");
        void* watch = dlopen((SIM_TEST_ROOT + kLib + "libkorwatch.so").c_str(), RTLD_LAZY);
        void* control = dlopen((SIM_TEST_ROOT + kLib + "libzevcontrol.so").c_str(), RTLD_LAZY);
        if (watch == nullptr || control == nullptr) {
            _exit(100);
        }
        auto count =
            reinterpret_cast<korwc_GetDeviceTotalNum_fn*>(dlsym(watch, "korwc_GetDeviceTotalNum"));
        auto name = reinterpret_cast<korwc_GetDeviceName_fn*>(dlsym(watch, "korwc_GetDeviceName"));
        auto init = reinterpret_cast<initlibrary_fn*>(dlsym(control, "initlibrary"));
        if (count == nullptr || name == nullptr || init == nullptr) {
            _exit(101);
        }
        _exit(count() * 10 + init(name(0), 0));
    });
    return run.exitCode;
}

TEST(LibrariesTest, LoadedLibrariesReadTheFleetBesideThem) {
    std::string error;
    sim::Fleet fleet = sim::LoadFleet(SIM_TEST_ROOT + kLib + "simfleet.json", error);
    ASSERT_EQ(error, "");
    int attached =
        static_cast<int>(std::count_if(fleet.scanners.begin(), fleet.scanners.end(),
                                       [](const sim::Scanner& s) { return s.bAttached; }));
    ASSERT_GT(attached, 0);
    EXPECT_EQ(LoadInChild(), attached * 10 + 1);
}

TEST(LibrariesTest, TraceFileThatCannotBeWrittenIsReportedOncePerProcess) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    std::string trace = fleet.path() + "/trace.log";  // below a file: cannot be created
    setenv("ORVEX_SIM_TRACE", trace.c_str(), 1);
    void* watch = dlopen((SIM_TEST_ROOT + kLib + "libkorwatch.so").c_str(), RTLD_NOW);
    void* control = dlopen((SIM_TEST_ROOT + kLib + "libzevcontrol.so").c_str(), RTLD_NOW);
    ASSERT_TRUE(watch != nullptr && control != nullptr);
    auto count =
        reinterpret_cast<korwc_GetDeviceTotalNum_fn*>(dlsym(watch, "korwc_GetDeviceTotalNum"));
    auto init = reinterpret_cast<initlibrary_fn*>(dlsym(control, "initlibrary"));
    ASSERT_TRUE(count != nullptr && init != nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(init("VX-905R", 0), 1);
    EXPECT_EQ(count(), 4);
    pid_t pid = fork();
    if (pid == 0) {
        _exit(count());  // a process of its own: its own warning
    }
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4);
    std::string line = "orvex-sim: cannot write the trace file " + trace + ": Not a directory\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line);
    dlclose(control);
    dlclose(watch);
}

}  // namespace
