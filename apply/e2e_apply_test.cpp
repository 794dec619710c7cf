// Whole-program tests: orvexconsumables-apply-sim against private copies of the sample fleet, its
// call traces compared with those of the tool making the same changes and the fleet file afterwards
// compared whole; refusals, a write past the deadline, and a scanner in use by the tool itself.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
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

// A fleet (by default the sample fleet) with the JSON patch merged into the scanner named.
nlohmann::json Patched(const std::string& name, const std::string& patch,
                       nlohmann::json fleet = nlohmann::json::parse(
                           ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/sample.json"))) {
    for (nlohmann::json& scanner : fleet["scanners"]) {
        if (scanner["name"] == name) {
            scanner.merge_patch(nlohmann::json::parse(patch));
        }
    }
    return fleet;
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
    // The program with its first words and then those of args (separated by spaces).
    RunResult Run(Names argv, const std::string& args) const {
        std::istringstream words(args);
        for (std::string word; words >> word;) {
            argv.push_back(word);
        }
        return RunProgram(argv, Environment());
    }
    RunResult Apply(const std::string& args) const {
        return Run({ORVEX_TEST_APPLY, "-p", policy}, args);
    }
    // The calls from the claim of the scanner on (the session, its changes and its release); the
    // trace is then emptied.
    Names TakeCallsFromClaim() const {
        Names lines = SplitIntoLines(ReadWholeFile(trace));
        std::remove(trace.c_str());
        auto claim = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return EntryPointName(line) == "korwc_StartExcusive";
        });
        return Names(claim, lines.end());
    }
    std::string Text() const { return ReadWholeFile(path); }
};

// A run writes exactly what differs, with the calls of the tool given the same settings, and a
// refusal ends the writing with what was written before it kept; a run that writes nothing makes
// no change call, and a run after one that wrote writes nothing.
TEST(ApplyProgram, WritesWhatDiffersWithTheToolsCallsAndNothingElse) {
    const std::string k330 = "ko-330xs:KV33A0001";
    const std::string both = "[settings]\nsleep_timer_minutes = 30\npower_off = \"4-hours\"\n";
    const std::string sleep30 = "[settings]\nsleep_timer_minutes = 30\n";
    struct Row {
        std::string device;
        std::string extra;   // a JSON patch of the scanner's entry in the sample fleet
        std::string policy;  // the policy file
        std::string args;    // before -d device
        std::string tool;    // the tool's options for the same writes; "": nothing is written
        bool opens;          // the scanner is claimed at all
        std::string out;     // the seconds of a late write shown as S
        int exitCode;
        std::string after;  // a JSON patch of the scanner's entry: the fleet file afterwards
    };
    const Row rows[] = {
        {k330, "{}", both, "", "--sleeptimer 30 --power-off 4-hours", true,
         k330 + ": changed - sleep timer 15 -> 30 minutes, power off 2-hours -> 4-hours\n"
                "1 scanner: 1 changed\n",
         0, R"({"sleepTimer": {"step": 6}, "powerOff": {"setting": 2}})"},
        // Power-off off, the same time asked: switched on with it.
        {"ko-225Wxs:KV22W0002", "{}",
         "[settings]\nsleep_timer_minutes = 60\npower_off = \"4-hours\"\n", "",
         "--sleeptimer 60 --power-off 4-hours", true,
         "ko-225Wxs:KV22W0002: changed - power off inactive -> 4-hours\n1 scanner: 1 changed\n", 0,
         R"({"powerOff": {"active": true}})"},
        {"ko-550xs:KV55A0004", "{}",
         "[settings]\nsleep_timer_minutes = 7\npower_off = \"inactive\"\n", "",
         "--sleeptimer 7 --power-off inactive", true,
         "ko-550xs:KV55A0004: changed - power off 8-hours -> inactive; sleep timer 7 minutes "
         "rounded to 5\n1 scanner: 1 changed\n",
         0, R"({"powerOff": {"active": false}})"},
        // No power-off; unlocked at the release.
        {"VX-905R", "{}", "[settings]\nsleep_timer_minutes = 20\npower_off = \"2-hours\"\n", "",
         "--sleeptimer 20", true,
         "VX-905R: changed - sleep timer 15 -> 20 minutes; power off not offered; left out\n"
         "1 scanner: 1 changed\n",
         0, R"({"sleepTimer": {"step": 4}})"},
        // The power-off refused after the sleep timer was written: the sleep timer stays.
        {k330, R"({"faults": {"SetPowerOffTime": {"result": 0}}})", both, "",
         "--sleeptimer 30 --power-off 4-hours", true,
         k330 + ": refused - sleep timer 15 -> 30 minutes, power off 2-hours -> 4-hours (not "
                "applied); the scanner refused the power off\n1 scanner: 1 refused\n",
         4, R"({"sleepTimer": {"step": 6}})"},
        {k330, R"({"faults": {"SetEEPROMData": {"result": -1}}})", both, "",
         "--sleeptimer 30 --power-off 4-hours", true,
         k330 + ": refused - sleep timer 15 -> 30 minutes (not applied), power off 2-hours -> "
                "4-hours (not applied); the scanner refused the sleep timer\n1 scanner: 1 "
                "refused\n",
         4, "{}"},
        // The deadline bounds the reading, not a write that has begun.
        {k330, R"({"faults": {"SetEEPROMData": {"delayMs": 3500}}})", sleep30, "-t 2",
         "--sleeptimer 30", true,
         k330 + ": changed - sleep timer 15 -> 30 minutes; writing went on past the 2 s deadline; "
                "took S s\n1 scanner: 1 changed\n",
         0, R"({"sleepTimer": {"step": 6}})"},
        {k330, R"({"faults": {"GetArdosaInfo": {"delayMs": 3500}}})", sleep30, "-t 2", "", true,
         k330 + ": timeout - no answer within 2 s\n1 scanner: 1 timeout\n", 4, "{}"},
        {k330, "{}", "[settings]\nsleep_timer_minutes = 15\npower_off = \"2-hours\"\n", "", "",
         true, k330 + ": compliant\n1 scanner: 1 compliant\n", 0, "{}"},
        {k330, "{}", both, "--check", "", true,
         k330 + ": would-change - sleep timer 15 -> 30 minutes, power off 2-hours -> 4-hours\n"
                "1 scanner: 1 would-change\n",
         2, "{}"},
        {k330, R"({"sleepTimer": {"supported": false}, "powerOff": {"supported": false}})", both,
         "", "", true,
         k330 + ": compliant - sleep timer not offered; left out; power off not offered; left "
                "out\n1 scanner: 1 compliant\n",
         0, "{}"},
        {k330, "{}", "[[scanner]]\nmatch = \"VX-*\"\nsettings = { sleep_timer_minutes = 20 }\n", "",
         "", false,
         k330 + ": compliant - the policy sets nothing for this scanner\n1 scanner: 1 compliant\n",
         0, "{}"},
    };
    for (const Row& row : rows) {
        const nlohmann::json fleet = Patched(row.device, row.extra);
        Fleet applied(fleet.dump(), row.policy);
        const std::string args = row.args + " -d " + row.device;
        RunResult run = applied.Apply(args);
        EXPECT_EQ(std::regex_replace(run.out, std::regex("took [0-9]+\\.[0-9] s"), "took S s"),
                  row.out);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.out;
        Names calls = applied.TakeCallsFromClaim();
        EXPECT_EQ(calls.empty(), !row.opens) << row.out;
        if (row.tool.empty()) {
            EXPECT_EQ(FilterTrace(calls, kChangeCalls), Names{}) << row.out;
        } else {
            Fleet tool(fleet.dump(), "");
            tool.Run({ORVEX_TEST_TOOL}, row.tool + " -d " + row.device);
            EXPECT_FALSE(FilterTrace(calls, kChangeCalls).empty()) << row.out;
            EXPECT_EQ(calls, tool.TakeCallsFromClaim()) << row.out;
        }
        EXPECT_EQ(nlohmann::json::parse(applied.Text()), Patched(row.device, row.after, fleet))
            << row.out;
        if (row.exitCode == 0) {
            const std::string after = applied.Text();
            EXPECT_EQ(applied.Apply(args).exitCode, 0) << row.out;
            EXPECT_EQ(FilterTrace(applied.TakeCallsFromClaim(), kChangeCalls), Names{}) << row.out;
            EXPECT_EQ(applied.Text(), after) << row.out;
        }
    }
}

// Another application holds the scanner: here the tool, reading it slowly.
TEST(ApplyProgram, AScannerInUseIsBusyAtOnceAndTheOthersAreWorkedOn) {
    const std::string slow = R"({"faults": {"GetArdosaInfo": {"delayMs": 5000}}})";
    Fleet fleet(Patched("ko-330xs:KV33A0001", slow).dump(),
                "[settings]\nsleep_timer_minutes = 15\n");
    int holder =
        StartProgram({ORVEX_TEST_TOOL, "--info", "-d", "ko-330xs:KV33A0001"}, fleet.Environment(),
                     fleet.dir.path() + "/out", fleet.dir.path() + "/err");
    const std::string claimed = R"(korwc_StartExcusive("ko-330xs:KV33A0001") = 1)";
    for (int i = 0; i < 500 && ReadWholeFile(fleet.trace).find(claimed) == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    RunResult run = fleet.Apply("-t 30 -j 2 -d ko-550xs:KV55A0004 -d ko-330xs:KV33A0001");
    EXPECT_EQ(run.out,
              "ko-330xs:KV33A0001: busy - not connected, or in use by another application\n"
              "ko-550xs:KV55A0004: changed - sleep timer 5 -> 15 minutes\n"
              "2 scanners: 1 changed, 1 busy\n");
    EXPECT_EQ(run.exitCode, 4);
    RunResult held = WaitForProgram(holder, fleet.dir.path() + "/out", fleet.dir.path() + "/err");
    EXPECT_EQ(held.exitCode, 0);
}

}  // namespace
