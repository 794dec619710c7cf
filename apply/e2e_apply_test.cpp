// Whole-program tests: orvexconsumables-apply-sim against private copies of the sample fleet, its
// call traces compared with those of the tool making the same changes; refusals, a write past the
// deadline, and a scanner in use by the tool itself.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

// The entry points that change a scanner.
const Names kChangeCalls = {"ModeSelect_LongTimer", "SetPowerSavingEEPROM", "SetPowerOffTime",
                            "SetEEPROMData",        "OnResetAfterCleaning", "OnResetBrake",
                            "OnResetPick",          "SetOffSetData"};

// The sample fleet, with extra keys merged into the entry of the scanner named.
std::string SampleFleet(const std::string& name = "",
                        const nlohmann::json& extra = nlohmann::json::object()) {
    nlohmann::json fleet =
        nlohmann::json::parse(ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/sample.json"));
    for (nlohmann::json& scanner : fleet["scanners"]) {
        if (scanner["name"] == name) {
            scanner.update(extra);
        }
    }
    return fleet.dump(2);
}

// A private fleet file with its call trace, and a policy, in a folder removed with the object.
struct Fleet {
    TempDir dir;
    std::string path = dir.path() + "/fleet.json";
    std::string trace = dir.path() + "/trace.log";
    std::string policy = dir.path() + "/policy.toml";

    Fleet(const std::string& json, const std::string& policyText) {
        WriteWholeFile(path, json);
        WriteWholeFile(policy, policyText);
    }
    // The simulator's variables of the test process are left out: the run sees this fleet only.
    Names Environment() const {
        return ChildEnvironment({"ORVEX_SIM_FLEET=" + path, "ORVEX_SIM_TRACE=" + trace},
                                "ORVEX_SIM_");
    }
    RunResult Apply(Names args) const {
        args.insert(args.begin(), {ORVEX_TEST_APPLY, "-p", policy});
        return RunProgram(args, Environment());
    }
    RunResult Tool(Names args) const {
        args.insert(args.begin(), ORVEX_TEST_TOOL);
        return RunProgram(args, Environment());
    }
    // The trace so far, which is then emptied.
    Names TakeTrace() const {
        Names lines = SplitIntoLines(ReadWholeFile(trace));
        std::remove(trace.c_str());
        return lines;
    }
    std::string Text() const { return ReadWholeFile(path); }
};

// The calls from the claim of the scanner on: the session, its changes and its release.
Names FromClaim(const Names& trace) {
    auto claim = std::find_if(trace.begin(), trace.end(), [](const std::string& line) {
        return EntryPointName(line) == "korwc_StartExcusive";
    });
    return Names(claim, trace.end());
}

TEST(ApplyProgram, WritesTheSettingsThatDifferWithTheToolsCalls) {
    struct Row {
        std::string device;
        std::string policy;
        Names toolArgs;  // the tool's options for the same settings on this scanner
        std::string out;
    };
    const Row rows[] = {
        {"ko-330xs:KV33A0001",
         "[settings]\nsleep_timer_minutes = 30\npower_off = \"4-hours\"\n",
         {"--sleeptimer", "30", "--power-off", "4-hours"},
         "ko-330xs:KV33A0001: changed - sleep timer 15 -> 30 minutes, power off 2-hours -> "
         "4-hours\n"},
        // Power-off off, the same time asked: switched on with it.
        {"ko-225Wxs:KV22W0002",
         "[settings]\nsleep_timer_minutes = 60\npower_off = \"4-hours\"\n",
         {"--sleeptimer", "60", "--power-off", "4-hours"},
         "ko-225Wxs:KV22W0002: changed - power off inactive -> 4-hours\n"},
        {"ko-550xs:KV55A0004",
         "[settings]\nsleep_timer_minutes = 7\npower_off = \"inactive\"\n",
         {"--sleeptimer", "7", "--power-off", "inactive"},
         "ko-550xs:KV55A0004: changed - power off 8-hours -> inactive; sleep timer 7 minutes "
         "rounded to 5\n"},
        // No power-off; unlocked at the release.
        {"VX-905R",
         "[settings]\nsleep_timer_minutes = 20\npower_off = \"2-hours\"\n",
         {"--sleeptimer", "20"},
         "VX-905R: changed - sleep timer 15 -> 20 minutes; power off not offered; left out\n"},
    };
    for (const Row& row : rows) {
        Fleet applied(SampleFleet(), row.policy);
        Fleet tool(SampleFleet(), "");
        RunResult run = applied.Apply({"-d", row.device});
        EXPECT_EQ(run.out, row.out + "1 scanner: 1 changed\n") << row.device;
        EXPECT_EQ(run.exitCode, 0) << row.device;
        Names toolArgs = row.toolArgs;
        toolArgs.insert(toolArgs.begin(), {"-d", row.device});
        EXPECT_EQ(tool.Tool(toolArgs).exitCode, 0) << row.device;

        Names calls = FromClaim(applied.TakeTrace());
        EXPECT_FALSE(FilterTrace(calls, kChangeCalls).empty()) << row.device;
        EXPECT_EQ(calls, FromClaim(tool.TakeTrace())) << row.device;
        EXPECT_EQ(applied.Text(), tool.Text()) << row.device;
    }
}

TEST(ApplyProgram, MakesNoChangeCallWhenNothingIsToBeWritten) {
    const std::string differs = "[settings]\nsleep_timer_minutes = 30\npower_off = \"4-hours\"\n";
    nlohmann::json neither = {{"sleepTimer", {{"supported", false}}},
                              {"powerOff", {{"supported", false}}}};
    struct Row {
        std::string fleet;
        std::string policy;
        Names args;
        bool applyFirst;  // a run that writes comes first
        bool claims;      // the scanner is opened at all
        std::string out;
        int exitCode;
    };
    const Row rows[] = {
        {SampleFleet(),
         "[settings]\nsleep_timer_minutes = 15\npower_off = \"2-hours\"\n",
         {},
         false,
         true,
         "ko-330xs:KV33A0001: compliant\n1 scanner: 1 compliant\n",
         0},
        {SampleFleet(),
         differs,
         {"--check"},
         false,
         true,
         "ko-330xs:KV33A0001: would-change - sleep timer 15 -> 30 minutes, power off 2-hours -> "
         "4-hours\n1 scanner: 1 would-change\n",
         2},
        {SampleFleet(),
         differs,
         {},
         true,
         true,
         "ko-330xs:KV33A0001: compliant\n1 scanner: 1 compliant\n",
         0},
        {SampleFleet("ko-330xs:KV33A0001", neither),
         differs,
         {},
         false,
         true,
         "ko-330xs:KV33A0001: compliant - sleep timer not offered; left out; power off not "
         "offered; left out\n1 scanner: 1 compliant\n",
         0},
        {SampleFleet(),
         "[[scanner]]\nmatch = \"VX-*\"\nsettings = { sleep_timer_minutes = 20 }\n",
         {},
         false,
         false,
         "ko-330xs:KV33A0001: compliant - the policy sets nothing for this scanner\n1 scanner: 1 "
         "compliant\n",
         0},
    };
    for (const Row& row : rows) {
        Fleet fleet(row.fleet, row.policy);
        Names args = row.args;
        args.insert(args.end(), {"-d", "ko-330xs:KV33A0001"});
        if (row.applyFirst) {
            ASSERT_EQ(fleet.Apply(args).exitCode, 0);
            fleet.TakeTrace();
        }
        const std::string before = fleet.Text();
        RunResult run = fleet.Apply(args);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.out;
        Names trace = fleet.TakeTrace();
        EXPECT_EQ(FilterTrace(trace, kChangeCalls), Names{}) << row.out;
        EXPECT_EQ(FromClaim(trace).empty(), !row.claims) << row.out;
        EXPECT_EQ(fleet.Text(), before) << row.out;
    }
}

TEST(ApplyProgram, ARefusalEndsTheWritesAndWhatWasWrittenStays) {
    const std::string policy = "[settings]\nsleep_timer_minutes = 30\npower_off = \"4-hours\"\n";
    struct Row {
        nlohmann::json faults;
        std::string out;
        int step;  // the sleep timer's step in the fleet file afterwards
    };
    const Row rows[] = {
        {{{"SetPowerOffTime", {{"result", 0}}}},
         "ko-330xs:KV33A0001: refused - sleep timer 15 -> 30 minutes, power off 2-hours -> "
         "4-hours (not applied); the scanner refused the power off\n",
         6},
        {{{"SetEEPROMData", {{"result", -1}}}},
         "ko-330xs:KV33A0001: refused - sleep timer 15 -> 30 minutes (not applied), power off "
         "2-hours -> 4-hours (not applied); the scanner refused the sleep timer\n",
         3},
    };
    for (const Row& row : rows) {
        const std::string json = SampleFleet("ko-330xs:KV33A0001", {{"faults", row.faults}});
        Fleet applied(json, policy);
        Fleet tool(json, "");
        RunResult run = applied.Apply({"-d", "ko-330xs:KV33A0001"});
        EXPECT_EQ(run.out, row.out + "1 scanner: 1 refused\n");
        EXPECT_EQ(run.exitCode, 4) << row.out;
        EXPECT_EQ(
            tool.Tool({"-d", "ko-330xs:KV33A0001", "--sleeptimer", "30", "--power-off", "4-hours"})
                .exitCode,
            6);
        EXPECT_EQ(FromClaim(applied.TakeTrace()), FromClaim(tool.TakeTrace())) << row.out;
        EXPECT_EQ(applied.Text(), tool.Text()) << row.out;
        nlohmann::json scanner = nlohmann::json::parse(applied.Text())["scanners"][0];
        EXPECT_EQ(scanner["sleepTimer"]["step"], row.step) << row.out;
        EXPECT_EQ(scanner["powerOff"]["setting"], 1) << row.out;
    }
}

TEST(ApplyProgram, TheDeadlineBoundsTheReadingNotAWriteThatHasBegun) {
    const std::string policy = "[settings]\nsleep_timer_minutes = 30\n";
    struct Row {
        std::string slowCall;
        std::string out;  // the seconds of a late write shown as S
        int exitCode;
        int step;  // the sleep timer's step in the fleet file afterwards
    };
    const Row rows[] = {
        {"SetEEPROMData",
         "ko-330xs:KV33A0001: changed - sleep timer 15 -> 30 minutes; writing went on past the 2 "
         "s deadline; took S s\n1 scanner: 1 changed\n",
         0, 6},
        {"GetArdosaInfo",
         "ko-330xs:KV33A0001: timeout - no answer within 2 s\n1 scanner: 1 timeout\n", 4, 3},
    };
    for (const Row& row : rows) {
        nlohmann::json slow = {{"faults", {{row.slowCall, {{"delayMs", 3500}}}}}};
        Fleet fleet(SampleFleet("ko-330xs:KV33A0001", slow), policy);
        RunResult run = fleet.Apply({"-t", "2", "-d", "ko-330xs:KV33A0001"});
        EXPECT_EQ(std::regex_replace(run.out, std::regex("took [0-9]+\\.[0-9] s"), "took S s"),
                  row.out);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.slowCall;
        nlohmann::json scanner = nlohmann::json::parse(fleet.Text())["scanners"][0];
        EXPECT_EQ(scanner["sleepTimer"]["step"], row.step) << row.slowCall;
    }
}

// Another application holds the scanner: here the tool, reading it slowly.
TEST(ApplyProgram, AScannerInUseIsBusyAtOnceAndTheOthersAreWorkedOn) {
    nlohmann::json slow = {{"faults", {{"GetArdosaInfo", {{"delayMs", 5000}}}}}};
    Fleet fleet(SampleFleet("ko-330xs:KV33A0001", slow), "[settings]\nsleep_timer_minutes = 15\n");
    TempDir capture;
    int holder =
        StartProgram({ORVEX_TEST_TOOL, "--info", "-d", "ko-330xs:KV33A0001"}, fleet.Environment(),
                     capture.path() + "/out", capture.path() + "/err");
    const std::string claimed = R"(korwc_StartExcusive("ko-330xs:KV33A0001") = 1)";
    for (int i = 0; i < 500 && ReadWholeFile(fleet.trace).find(claimed) == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    RunResult run = fleet.Apply(
        {"-t", "30", "-j", "2", "-d", "ko-550xs:KV55A0004", "-d", "ko-330xs:KV33A0001"});
    EXPECT_EQ(run.out,
              "ko-330xs:KV33A0001: busy - not connected, or in use by another application\n"
              "ko-550xs:KV55A0004: changed - sleep timer 5 -> 15 minutes\n"
              "2 scanners: 1 changed, 1 busy\n");
    EXPECT_EQ(run.exitCode, 4);
    RunResult held = WaitForProgram(holder, capture.path() + "/out", capture.path() + "/err");
    EXPECT_EQ(held.exitCode, 0);
}

}  // namespace
