// Tests of the program's exit status and of what it says on a usage or policy error, on a fleet of
// fakes: the children run the fake work instead of the service libraries.
#include "apply/driver.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "apply/payload.h"
#include "fleet/wire.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

namespace {

using Names = std::vector<std::string>;

// What each fake scanner's child hands back.
const std::map<std::string, apply_result> kResults = {
    {"compliant", {ApplyStatus::kCompliant, {}, {}}},
    {"differs",
     {ApplyStatus::kWouldChange, {}, {{PolicySetting::kSleepTimer, 5, 15, std::nullopt}}}},
    {"busy", {ApplyStatus::kBusy, {{Severity::kWarning, "in use"}}, {}}},
};

apply_service FakeService(const Names& attached, bool librariesLoaded) {
    return {[=] {
                return EncodeDeviceList({librariesLoaded, attached});
            },
            [](const std::string& name, const policy_settings&, bool) {
                return EncodeApplyResult(kResults.at(name));
            }};
}

// The program in a child of the test, its standard output on /dev/full when full is set.
RunResult RunFake(const apply_service& service, Names args, bool full) {
    args.insert(args.begin(), "orvexconsumables-apply");
    return RunInChild([&] {
        if (full) {
            int device = open("/dev/full", O_WRONLY);
            dup2(device, STDOUT_FILENO);
            close(device);
        }
        _exit(RunApply(static_cast<int>(args.size()), ArgumentVector(args).data(), service));
    });
}

TEST(ApplyDriver, ExitStatusIsTheFirstOfUsageNotWrittenFailedAndDifference) {
    TempDir dir;
    const std::string policy = dir.path() + "/policy.toml";
    const std::string noSettings = dir.path() + "/life.toml";
    const std::string invalid = dir.path() + "/invalid.toml";
    WriteWholeFile(policy, "[settings]\nsleep_timer_minutes = 15\n");
    WriteWholeFile(noSettings, "[life]\npick_roller = 100\n");
    WriteWholeFile(invalid, "[settings]\nsleep_timer_minutes = 0\n");
    const std::string tryHelp = "Try 'orvexconsumables-apply --help'.\n";
    const std::string unwritten =
        "orvexconsumables-apply: cannot write to standard output: No space left on device\n";
    struct Row {
        Names attached;  // "-" alone: the libraries are missing
        Names args;      // after -p policy
        bool full;
        int exitCode;
        std::string err;
    };
    const Row rows[] = {
        {{"differs", "busy"}, {"--check"}, false, 4, ""},
        {{"compliant"}, {"-d", "compliant", "-d", "gone"}, false, 4, ""},
        {{"-"}, {}, false, 4, ""},
        {{"differs", "busy"}, {"--check"}, true, 1, unwritten},
        {{"busy"},
         {"--check", "-j", "0"},
         true,
         3,
         "orvexconsumables-apply: the number of jobs '0' is not a whole number from 1 to 64\n" +
             tryHelp},
        {{"busy"},
         {"-p", invalid},
         true,
         3,
         "orvexconsumables-apply: " + invalid +
             ":2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440\n"},
        {{"busy"},
         {"-p", noSettings},
         true,
         3,
         "orvexconsumables-apply: nothing to apply: the policy " + noSettings +
             " sets no sleep timer or power off\n" + tryHelp},
    };
    for (const Row& row : rows) {
        bool missing = row.attached == Names{"-"};
        Names args = {"-p", policy};
        args.insert(args.end(), row.args.begin(), row.args.end());
        RunResult run =
            RunFake(FakeService(missing ? Names{} : row.attached, !missing), args, row.full);
        EXPECT_EQ(run.exitCode, row.exitCode)
            << testing::PrintToString(row.attached) << " " << testing::PrintToString(args);
        EXPECT_EQ(run.err, row.err) << testing::PrintToString(args);
    }
}

}  // namespace
