// Whole-program runs under faults: service libraries that cannot be bound, every library call
// failing in turn, values out of the expected range, the roll-back of a refused offset write, and
// terminal signals sent while each kind of write is under way.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "access/binding.h"
#include "access/paths.h"
#include "cli/driver.h"
#include "access/records.h"
#include "sim/trace_format.h"
#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;
using Json = nlohmann::ordered_json;

// The fixture's scanner, as its JSON document.
Json Fixture() {
    return Json::parse(ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/faults_fleet.json"));
}

// A fleet document as the simulated service writes it, so that a rewrite with the same values
// leaves the file byte-identical.
std::string Canonical(const Json& document) {
    return document.dump(2) + "\n";
}

// The fixture with fleet-wide fault rules (they also cover the calls about no scanner) and the
// scanner renamed when a model is given.
std::string FaultFleet(const std::string& faults, const char* model = nullptr) {
    Json document = Fixture();
    if (model != nullptr) {
        document["scanners"][0]["name"] = model;
    }
    if (!faults.empty()) {
        document["faults"] = Json::parse(faults);
    }
    return Canonical(document);
}

// One run of the simulator variant of the tool on a fleet of its own.
struct Job {
    std::string fleetText;
    Names args;
    RunResult result = {};
    std::string fleetAfter = {};
    Names trace = {};
};

// Runs the jobs a few at a time: each process sleeps mostly in the loader and the file system.
void RunJobs(std::vector<Job>& jobs) {
    const size_t kWidth = 8;
    for (size_t first = 0; first < jobs.size(); first += kWidth) {
        std::vector<SimFleet> fleets;
        std::vector<int> pids;
        size_t last = std::min(jobs.size(), first + kWidth);
        for (size_t i = first; i < last; ++i) {
            fleets.push_back(SimFleet::FromJson(jobs[i].fleetText));
            pids.push_back(fleets.back().Start(jobs[i].args, "job"));
        }
        for (size_t i = first; i < last; ++i) {
            const SimFleet& fleet = fleets[i - first];
            jobs[i].result = fleet.WaitFor(pids[i - first], "job");
            jobs[i].fleetAfter = fleet.FleetText();
            jobs[i].trace = fleet.TakeTrace();
        }
    }
}

// --- (a) Libraries that cannot be bound ---

std::string RealLibrary(const char* file) {
    return std::string(ORVEX_TEST_SIM_ROOT) + "/opt/orvex/lib/" + file;
}

std::string VariantLibrary(const std::string& symbol, const char* file) {
    return std::string(ORVEX_TEST_SIM_VARIANTS) + "/no-" + symbol + "/opt/orvex/lib/" + file;
}

// A copy of a library in dir that the loader refuses: an empty file, or the library with its
// ELF class byte claiming a 32-bit object.
std::string BrokenCopy(const std::string& dir, const char* file, bool empty) {
    std::string bytes = empty ? "" : ReadWholeFile(RealLibrary(file));
    if (!empty) {
        bytes[EI_CLASS] = ELFCLASS32;
    }
    std::string path = dir + (empty ? "/empty-" : "/class32-") + file;
    WriteWholeFile(path, bytes);
    return path;
}

size_t BindingIndex(const char* symbol) {
    for (size_t i = 0; i < std::size(g_stEntryPoints); ++i) {
        if (std::string(g_stEntryPoints[i].cpSymbol) == symbol) {
            return i;
        }
    }
    return std::size(g_stEntryPoints);
}

// The teardown calls of a run whose binding stopped after `bound` entry points: exactly the
// bound ones among exitlibrary and korwc_EndExcusive (no device was chosen, so no unlock).
Names BoundTeardown(size_t bound) {
    Names calls;
    if (BindingIndex("exitlibrary") < bound) {
        calls.push_back("exitlibrary()");
    }
    if (BindingIndex("korwc_EndExcusive") < bound) {
        calls.push_back("korwc_EndExcusive(NULL)");
    }
    return calls;
}

TEST(FaultMatrix, LibrariesThatCannotBeBoundEndTheRunWithTheBoundTeardownOnly) {
    SimFleet fleet = SimFleet::FromJson(FaultFleet(""));
    const std::string before = fleet.FleetText();
    struct Row {
        std::string what, watch, control;
        size_t bound;  // entry points bound before the failure
    };
    std::vector<Row> rows;
    for (size_t i = 0; i < std::size(g_stEntryPoints); ++i) {
        const std::string symbol = g_stEntryPoints[i].cpSymbol;
        rows.push_back({"no " + symbol, VariantLibrary(symbol, "libkorwatch.so"),
                        VariantLibrary(symbol, "libzevcontrol.so"), i});
    }
    const std::string watch = RealLibrary("libkorwatch.so");
    const std::string control = RealLibrary("libzevcontrol.so");
    rows.push_back({"no control library", watch, fleet.dir() + "/absent/libzevcontrol.so", 0});
    rows.push_back(
        {"empty watch library", BrokenCopy(fleet.dir(), "libkorwatch.so", true), control, 0});
    rows.push_back(
        {"empty control library", watch, BrokenCopy(fleet.dir(), "libzevcontrol.so", true), 0});
    rows.push_back(
        {"32-bit watch library", BrokenCopy(fleet.dir(), "libkorwatch.so", false), control, 0});
    rows.push_back(
        {"32-bit control library", watch, BrokenCopy(fleet.dir(), "libzevcontrol.so", false), 0});
    for (const Row& row : rows) {
        RunResult result = RunToolAgainstLibraries(
            row.watch, row.control, fleet, {"--pick-roller-clear", "--adf-front-offset-main", "2"});
        EXPECT_EQ(result.out, kFileNotFoundLine) << row.what;
        EXPECT_EQ(result.err, "") << row.what;
        EXPECT_EQ(result.signal, 0) << row.what;
        EXPECT_EQ(result.exitCode, 10) << row.what;
        EXPECT_EQ(WithoutResults(fleet.TakeTrace()), BoundTeardown(row.bound)) << row.what;
        EXPECT_EQ(fleet.FleetText(), before) << row.what;
    }
    EXPECT_EQ(rows.size(), 31u);
}

TEST(BindingRun, RunWithAMissingSymbolTearsDownWhatWasBound) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult result =
        RunToolAgainstLibraries(VariantLibrary("SetOffSetData", "libkorwatch.so"),
                                VariantLibrary("SetOffSetData", "libzevcontrol.so"), fleet, {});
    EXPECT_EQ(result.out, kFileNotFoundLine);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 10);
    EXPECT_EQ(WithoutResults(fleet.TakeTrace()),
              (Names{"exitlibrary()", "korwc_EndExcusive(NULL)"}));
}

TEST(BindingRun, RunWithAMissingEntryPointBeforeTheTeardownOnesCallsNone) {
    for (const char* symbol : {"korwc_GetDeviceTotalNum", "korwc_Open", "korwc_Close"}) {
        SimFleet fleet = SimFleet::FromFixture("sample.json");
        RunResult result =
            RunToolAgainstLibraries(VariantLibrary(symbol, "libkorwatch.so"),
                                    VariantLibrary(symbol, "libzevcontrol.so"), fleet, {"-V"});
        EXPECT_EQ(result.out, kFileNotFoundLine) << symbol;
        EXPECT_EQ(result.exitCode, 10) << symbol;
        Names expected;
        if (std::string(symbol) != "korwc_GetDeviceTotalNum") {
            expected = {"korwc_EndExcusive(NULL)"};  // bound before the failing one
        }
        EXPECT_EQ(WithoutResults(fleet.TakeTrace()), expected) << symbol;
    }
}

TEST(BindingRun, RunWithoutTheDeviceWatchLibraryClosesTheOther) {
    SimFleet fleet = SimFleet::FromFixture("sample.json");
    RunResult result =
        RunToolAgainstLibraries("/nonexistent/libkorwatch.so", g_cpZevControlPath, fleet, {"-L"});
    EXPECT_EQ(result.out, kFileNotFoundLine);
    EXPECT_EQ(result.exitCode, 10);
    EXPECT_EQ(fleet.TakeTrace(), Names{});
}

// --- (b) Each library call failing in turn ---

struct Command {
    const char* cpName;
    Names args;
};

const Command kCommands[] = {
    {"report", {}},
    {"help", {"-h"}},
    {"version", {"-V"}},
    {"list", {"-L"}},
    {"sleep timer", {"--sleeptimer", "20"}},
    {"power-off", {"--power-off", "8-hours"}},
    {"counters", {"--after-cleaning-clear", "--brake-roller-clear", "--pick-roller-clear"}},
    {"offsets", {"--adf-back-offset-sub", "1", "--flatbed-magnification-adjustment", "1.2"}},
};

const Command& FindCommand(const std::string& name) {
    for (const Command& command : kCommands) {
        if (name == command.cpName) {
            return command;
        }
    }
    throw std::invalid_argument(name);
}

const Names kAll = {"report",      "help",      "version",  "list",
                    "sleep timer", "power-off", "counters", "offsets"};
const Names kWithSession = {"report", "help", "sleep timer", "power-off", "counters", "offsets"};
const Names kChanges = {"sleep timer", "power-off", "counters", "offsets"};
const Names kEepromWrites = {"sleep timer", "power-off", "counters"};

// What a run should print and end with, and the fleet file it should leave.
struct Outcome {
    std::string out;
    int exitCode;
    std::string fleet;
};

// The same command run without the fault, and the fleet file before the faulted run.
struct Baseline {
    RunResult clean;
    std::string cleanFleet;
    std::string fleetBefore;
};

using Expect = std::function<Outcome(const Command&, const Baseline&)>;

Expect AsWithoutTheFault() {
    return [](const Command&, const Baseline& base) {
        return Outcome{base.clean.out, base.clean.exitCode, base.cleanFleet};
    };
}

// Ends before anything else was printed, and nothing reached the device.
Expect Refused(const std::string& out, int exitCode) {
    return [=](const Command&, const Baseline& base) {
        return Outcome{out, exitCode, base.fleetBefore};
    };
}

// Refused when the session opens: the help has printed its common part by then.
Expect RefusedAtTheSession(const std::string& message, int exitCode) {
    return [=](const Command& command, const Baseline& base) {
        std::string head = command.cpName == std::string("help") ? kHelpCommonPart : "";
        return Outcome{head + message, exitCode, base.fleetBefore};
    };
}

// A run that changes nothing and prints what is computed from the fault-free output.
Expect Prints(std::function<std::string(const std::string& cleanOut)> out) {
    return [=](const Command&, const Baseline& base) {
        return Outcome{out(base.clean.out), 0, base.fleetBefore};
    };
}

std::string UpTo(const std::string& text, const std::string& end) {
    return text.substr(0, text.find(end) + end.size());
}

// The help without the offset and magnification entries (option line and description each).
std::string WithoutOffsetEntries(const std::string& help) {
    std::string kept;
    bool skipDescription = false;
    for (const std::string& line : SplitIntoLines(help)) {
        bool offsetLine = line.rfind("--adf-", 0) == 0 || line.rfind("--flatbed-", 0) == 0;
        if (!offsetLine && !skipDescription) {
            kept += line + "\n";
        }
        skipDescription = offsetLine;
    }
    return kept;
}

// A reset call that did nothing: the run still succeeds (only the EEPROM write decides), and the
// counter keeps its count while the others are cleared.
Expect SucceedsKeeping(const char* counter) {
    return [=](const Command&, const Baseline& base) {
        Json fleet = Json::parse(base.cleanFleet);
        fleet["scanners"][0]["counters"][counter]["count"] =
            Fixture()["scanners"][0]["counters"][counter]["count"];
        return Outcome{kSetSuccessfullyLine, 0, Canonical(fleet)};
    };
}

struct FaultRow {
    const char* cpFaults;  // fleet-wide fault rules
    Names commands;        // the commands whose runs meet the fault
    Expect expect;
    const char* cpModel = nullptr;  // the scanner renamed to this model
};

const char kNoScanner[] = R"({"korwc_GetDeviceTotalNum": {"result": 0}})";
const char kNegativeCount[] = R"({"korwc_GetDeviceTotalNum": {"result": -1}})";
const char kNullName[] = R"({"korwc_GetDeviceName": {"result": 0}})";
const char kNoOffsetRecord[] = R"({"GetOffSetData": {"result": 0}})";
const char kEepromRefused[] = R"({"SetEEPROMData": {"result": -1}})";

std::vector<FaultRow> FaultRows() {
    return {
        {kNoScanner, kAll, Refused(kNotConnectedLine, 6)},
        // Only a count of 0 means none attached; a negative one lists nothing.
        {kNegativeCount,
         {"report", "version", "sleep timer", "power-off", "counters", "offsets"},
         AsWithoutTheFault()},
        {kNegativeCount, {"help", "list"}, Prints([](auto& out) {
             return UpTo(out, kDeviceListHead);
         })},
        // A null name: no session can be opened, and nothing prints the null.
        {kNullName, kWithSession, RefusedAtTheSession(kNotConnectedLine, 6)},
        {kNullName, {"version"}, AsWithoutTheFault()},
        {kNullName, {"list"}, Prints([](auto&) {
             return kDeviceListHead + std::string("    \n");
         })},
        {R"({"korwc_StartExcusive": {"result": 0}})", kWithSession,
         RefusedAtTheSession(kNotConnectedLine, 6)},
        {R"({"initlibrary": {"result": 0}})", kWithSession, RefusedAtTheSession(kEepromLines, 7)},
        {R"({"korwc_GetFirmVersion": {"result": 0}})", kWithSession,
         [](const Command& command, const Baseline& base) {
             std::string out = base.clean.out;
             size_t at = command.cpName == std::string("help") ? sizeof kHelpCommonPart - 1 : 0;
             return Outcome{out.insert(at, kFirmwareErrorLine), base.clean.exitCode,
                            base.cleanFleet};
         }},
        {R"({"SetFirmVersion": {"result": 0}})", kWithSession, AsWithoutTheFault()},
        {R"({"GetArdosaInfo": {"result": 0}})", kWithSession, RefusedAtTheSession(kEepromLines, 7)},
        {R"({"OnInitDialog": {"result": 0}})", kWithSession, RefusedAtTheSession(kEepromLines, 7)},
        {R"({"GetEEPROMData": {"result": 0}})", kWithSession, RefusedAtTheSession(kEepromLines, 7)},
        {R"({"GetEEPROMData": {"result": 0}, "korwc_GetLastErrorInfo": {"result": 14}})",
         kWithSession, RefusedAtTheSession(kNotConnectedLine, 6)},
        {R"({"GetArdosaInfo": {"result": 0}, "korwc_GetLastErrorInfo": {"result": 0}})",
         kWithSession, RefusedAtTheSession(kEepromLines, 7)},
        // An unfilled offset record reads as a scanner without offsets.
        {kNoOffsetRecord, {"report"}, Prints([](auto& out) {
             return out.substr(0, out.find("Offset Setting:\n"));
         })},
        {kNoOffsetRecord, {"help"}, Prints(WithoutOffsetEntries)},
        {kNoOffsetRecord, {"sleep timer", "power-off", "counters"}, AsWithoutTheFault()},
        {kNoOffsetRecord,
         {"offsets"},
         Refused("orvexconsumables: unrecognized option '--adf-back-offset-sub'\n", 3)},
        {R"({"ModeSelect_LongTimer": {"result": 0}})",
         {"sleep timer"},
         Refused(kNotConnectedLine, 6)},
        {R"({"SetPowerSavingEEPROM": {"result": 0}})",
         {"sleep timer"},
         Refused(kNotConnectedLine, 6)},
        {R"({"SetPowerOffTime": {"result": 0}})", {"power-off"}, Refused(kNotConnectedLine, 6)},
        {kEepromRefused, kEepromWrites, Refused(kNotConnectedLine, 6)},
        {R"({"SetEEPROMData": {"result": -1, "once": true}})", kEepromWrites,
         Refused(kNotConnectedLine, 6)},
        // Only -1 is a failed EEPROM write: 0 counts as done, although this service then
        // wrote nothing.
        {R"({"SetEEPROMData": {"result": 0}})", kEepromWrites, Refused(kSetSuccessfullyLine, 0)},
        {R"({"OnResetAfterCleaning": {"result": 0}})", {"counters"}, SucceedsKeeping("cleaning")},
        {R"({"OnResetBrake": {"result": 0}})", {"counters"}, SucceedsKeeping("roller")},
        {R"({"OnResetPick": {"result": 0}})", {"counters"}, SucceedsKeeping("pick")},
        {R"({"SetOffSetData": {"result": 0}})", {"offsets"}, Refused(kNotConnectedLine, 6)},
        {R"({"SetOffSetData": {"result": 0, "once": true}})",
         {"offsets"},
         Refused(kNotConnectedLine, 6)},
        {R"({"korwc_GetXMLSettings2": {"result": 0}})", {"version"}, Prints([](auto&) {
             return "Consumable tool for Kavisto Series scanner\nVersion 2.0.200\n"
                    "Copyright 2020-2021\n";
         })},
        {R"({"exitlibrary": {"result": 0}})", kAll, AsWithoutTheFault()},
        {R"({"korwc_EndExcusive": {"result": 0}})", kAll, AsWithoutTheFault()},
        {R"({"korwc_UnlockScanner": {"result": 0}})", kAll, AsWithoutTheFault(), "VX-905R"},
        {R"({"korwc_InquiryVPD": {"result": 0}})", kWithSession, AsWithoutTheFault(),
         "ko-550xs:KV55F0002"},
    };
}

// The fault-free runs of every command on every model the rows use, with the entry points each
// one called.
struct Baselines {
    std::map<std::string, Job> runs;  // by model + command
    static std::string Key(const char* model, const std::string& command) {
        return std::string(model != nullptr ? model : "") + "|" + command;
    }
};

Baselines RunBaselines(const std::vector<FaultRow>& rows) {
    std::vector<Job> jobs;
    std::vector<std::string> keys;
    for (const FaultRow& row : rows) {
        for (const Command& command : kCommands) {
            std::string key = Baselines::Key(row.cpModel, command.cpName);
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                keys.push_back(key);
                jobs.push_back({FaultFleet("", row.cpModel), command.args});
            }
        }
    }
    RunJobs(jobs);
    Baselines baselines;
    for (size_t i = 0; i < jobs.size(); ++i) {
        baselines.runs[keys[i]] = jobs[i];
    }
    return baselines;
}

TEST(FaultMatrix, EachLibraryCallFailingInTurn) {
    const std::vector<FaultRow> rows = FaultRows();
    Baselines baselines = RunBaselines(rows);
    struct Case {
        const FaultRow* row;
        const Command* command;
    };
    std::vector<Case> cases;
    std::vector<Job> jobs;
    std::set<std::string> covered;  // command|entry point
    for (const FaultRow& row : rows) {
        for (const std::string& name : row.commands) {
            cases.push_back({&row, &FindCommand(name)});
            jobs.push_back({FaultFleet(row.cpFaults, row.cpModel), FindCommand(name).args});
            const Json faults = Json::parse(row.cpFaults);
            for (auto& fault : faults.items()) {
                covered.insert(name + "|" + fault.key());
            }
        }
    }
    RunJobs(jobs);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Job& base =
            baselines.runs[Baselines::Key(cases[i].row->cpModel, cases[i].command->cpName)];
        // The fault-free fleet carries no rules; the faulted one keeps them where they were.
        Json cleanFleet = Json::parse(base.fleetAfter);
        cleanFleet["faults"] = Json::parse(cases[i].row->cpFaults);
        Outcome expected = cases[i].row->expect(
            *cases[i].command, {base.result, Canonical(cleanFleet), jobs[i].fleetText});
        std::string what =
            std::string(cases[i].command->cpName) + " with " + cases[i].row->cpFaults;
        EXPECT_EQ(jobs[i].result.out, expected.out) << what;
        EXPECT_EQ(jobs[i].result.err, "") << what;
        EXPECT_EQ(jobs[i].result.signal, 0) << what;
        EXPECT_EQ(jobs[i].result.exitCode, expected.exitCode) << what;
        EXPECT_EQ(jobs[i].fleetAfter, expected.fleet) << what;
    }
    // Every entry point that a fault-free run of a command calls fails in some row for it.
    for (const auto& [key, run] : baselines.runs) {
        std::string command = key.substr(key.find('|') + 1);
        for (const std::string& line : run.trace) {
            EXPECT_TRUE(covered.count(command + "|" + EntryPointName(line)) == 1)
                << command << " calls " << EntryPointName(line) << " but no row fails it";
        }
    }
}

// --- The simulated service returning values out of the expected range ---

struct RangeRow {
    const char* cpWhat;
    std::function<void(Json& scanner)> edit;
    Names args;
    std::vector<std::pair<std::string, std::string>> rewrites;  // of the fault-free output
    std::string literal;  // the whole output instead, when not empty
    int exitCode;
};

TEST(FaultMatrix, ValuesOutOfTheExpectedRange) {
    auto powerOffSeven = [](Json& s) { s["powerOff"]["setting"] = 7; };
    auto blankAfterLabel = [](Json& s) { s["counters"]["pick"]["label"] = "Pick Roller: "; };
    auto minAboveMax = [](Json& s) {
        s["sleepTimer"]["minStep"] = 10;
        s["sleepTimer"]["maxStep"] = 2;
    };
    const RangeRow rows[] = {
        {"power-off code 7", powerOffSeven, {}, {{"2 Hours", "unknown"}}, "", 0},
        {"label with a trailing blank",
         blankAfterLabel,
         {},
         {{" Pick Roller:", " Pick Roller: "}},
         "",
         0},
        {"label with a trailing blank",
         blankAfterLabel,
         {"-h"},
         {{"--pick-roller-clear\n  clear the pick roller counter\n", ""}},
         "",
         0},
        {"label with a trailing blank",
         blankAfterLabel,
         {"--pick-roller-clear"},
         {},
         "orvexconsumables: unrecognized option '--pick-roller-clear'\n",
         3},
        {"sleep steps min above max", minAboveMax, {}, {{"15 Minutes", "10 Minutes"}}, "", 0},
        {"sleep steps min above max", minAboveMax, {"-h"}, {{"5..60(", "50..10("}}, "", 0},
        // Raised to the lowest setting, which the service then refuses as above the highest.
        {"sleep steps min above max",
         minAboveMax,
         {"--sleeptimer", "30"},
         {},
         "orvexconsumables: rounded value of --sleeptimer from 30 to 50\n" +
             std::string(kNotConnectedLine),
         6},
        {"sleep steps min above max",
         minAboveMax,
         {"--sleeptimer", "7"},
         {},
         "orvexconsumables: rounded value of --sleeptimer from 7 to 50\n"
         "orvexconsumables: rounded value of --sleeptimer from 50 to 10\n" +
             std::string(kNotConnectedLine),
         6},
    };
    std::vector<Job> jobs;
    for (const RangeRow& row : rows) {
        Json document = Fixture();
        row.edit(document["scanners"][0]);
        jobs.push_back({FaultFleet(""), row.args});
        jobs.push_back({Canonical(document), row.args});
    }
    RunJobs(jobs);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const RangeRow& row = rows[i];
        const Job& clean = jobs[2 * i];
        const Job& edited = jobs[2 * i + 1];
        std::string expected = row.literal;
        if (expected.empty()) {
            expected = clean.result.out;
            for (const auto& [from, to] : row.rewrites) {
                size_t at = expected.find(from);
                ASSERT_NE(at, std::string::npos) << row.cpWhat << ": " << from;
                expected.replace(at, from.size(), to);
            }
        }
        std::string what = std::string(row.cpWhat) + " " + testing::PrintToString(row.args);
        EXPECT_EQ(edited.result.out, expected) << what;
        EXPECT_EQ(edited.result.exitCode, row.exitCode) << what;
        EXPECT_EQ(edited.fleetAfter, edited.fleetText) << what;
    }
}

TEST(FaultMatrix, SwitchingOffAnUnknownPowerOffTimeSendsFourHours) {
    Json document = Fixture();
    document["scanners"][0]["powerOff"]["setting"] = 7;
    SimFleet fleet = SimFleet::FromJson(Canonical(document));
    RunResult result = fleet.Run({"--power-off", "inactive"});
    EXPECT_EQ(result.out, kSetSuccessfullyLine);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(FilterTrace(fleet.TakeTrace(), {"SetPowerOffTime", "SetEEPROMData"}),
              (Names{"SetPowerOffTime(144) = 1", "SetEEPROMData() = 1"}));
    EXPECT_EQ(Json::parse(fleet.FleetText())["scanners"][0]["powerOff"],
              Json::parse(R"({"supported": true, "active": false, "setting": 2})"));
}

// --- (c) The roll-back of a refused offset write ---

// The fixture's offset record as the device-control library hands it out.
offset_data FixtureOffsets() {
    offset_data d{};
    d.iFbMain = 4;
    d.iFbSub = -4;
    d.iAdfFrontMain = 1;
    d.iAdfFrontSub = 2;
    d.iAdfBackMain = -1;
    d.iAdfBackSub = -2;
    d.iAdfFrontEndOfPage = 3;
    d.iAdfBackEndOfPage = -3;
    d.iFbMagnification = -31;
    d.iAdfMagnification = 15;
    d.bFlatbed = 1;
    d.bLibrary41 = 165;
    d.bEndOfPage = 1;
    d.bOffsetSupported = 1;
    return d;
}

TEST(FaultMatrix, ARefusedOffsetWriteIsRolledBackOnceWithThePreviousRecord) {
    struct Row {
        const char* cpOption;
        const char* cpValue;
        int32_t offset_data::*pField;
        int32_t written;
    };
    const Row rows[] = {
        {"--adf-front-offset-main", "-4", &offset_data::iAdfFrontMain, -4},
        {"--adf-front-offset-sub", "4", &offset_data::iAdfFrontSub, 4},
        {"--adf-front-offset-end-of-page", "0", &offset_data::iAdfFrontEndOfPage, 0},
        {"--adf-back-offset-main", "2", &offset_data::iAdfBackMain, 2},
        {"--adf-back-offset-sub", "-3", &offset_data::iAdfBackSub, -3},
        {"--adf-back-offset-end-of-page", "1", &offset_data::iAdfBackEndOfPage, 1},
        {"--flatbed-offset-main", "-1", &offset_data::iFbMain, -1},
        {"--flatbed-offset-sub", "3", &offset_data::iFbSub, 3},
        {"--adf-magnification-adjustment", "-2.5", &offset_data::iAdfMagnification, -25},
        {"--flatbed-magnification-adjustment", "3.1", &offset_data::iFbMagnification, 31},
    };
    // The roll-back accepted, and refused too: one further write either way, never a retry.
    const char* const rollBackResults[] = {"1", "0"};
    std::vector<Job> jobs;
    for (const Row& row : rows) {
        jobs.push_back({FaultFleet(R"({"SetOffSetData": {"result": 0, "once": true}})"),
                        {row.cpOption, row.cpValue}});
        jobs.push_back(
            {FaultFleet(R"({"SetOffSetData": {"result": 0}})"), {row.cpOption, row.cpValue}});
    }
    RunJobs(jobs);
    const offset_data previous = FixtureOffsets();
    for (size_t i = 0; i < jobs.size(); ++i) {
        const Row& row = rows[i / 2];
        offset_data refused = previous;
        refused.*row.pField = row.written;
        const Names expected = {"SetOffSetData(" + trace::DescribeOffsetData(refused) + ") = 0",
                                "SetOffSetData(" + trace::DescribeOffsetData(previous) +
                                    ") = " + rollBackResults[i % 2]};
        EXPECT_EQ(FilterTrace(jobs[i].trace, {"SetOffSetData"}), expected) << row.cpOption;
        EXPECT_EQ(jobs[i].result.out, kNotConnectedLine) << row.cpOption;
        EXPECT_EQ(jobs[i].result.exitCode, 6) << row.cpOption;
        EXPECT_EQ(jobs[i].fleetAfter, jobs[i].fleetText) << row.cpOption;
    }
}

// --- Terminal signals during each kind of write ---

bool TraceHas(const SimFleet& fleet, const std::string& entryPoint) {
    return ReadWholeFile(fleet.tracePath()).find("\n" + entryPoint + "(") != std::string::npos;
}

// The fleet without its fault rules, to compare a delayed run's result with an undelayed one's.
Json WithoutFaults(const std::string& text) {
    Json document = Json::parse(text);
    document.erase("faults");
    return document;
}

TEST(SignalsDuringWrites, EveryKindOfWriteCompletesAndPersists) {
    struct Row {
        const char* cpDelayed;  // the write that takes 500 ms
        const char* cpBefore;   // the call that returns just before it starts
        Names args;
    };
    const Row rows[] = {
        {"SetEEPROMData", "OnResetPick", {"--pick-roller-clear"}},
        {"SetPowerOffTime", "GetOffSetData", {"--power-off", "8-hours"}},
        {"ModeSelect_LongTimer", "GetOffSetData", {"--sleeptimer", "45"}},
        {"SetPowerSavingEEPROM", "ModeSelect_LongTimer", {"--sleeptimer", "45"}},
        {"SetOffSetData", "GetOffSetData", {"--adf-front-offset-main", "-3"}},
    };
    const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
    unsigned long long allFive = 0;
    for (int s : kSignals) {
        allFive |= 1ULL << (s - 1);
    }
    for (const Row& row : rows) {
        SimFleet reference = SimFleet::FromJson(FaultFleet(""));
        ASSERT_EQ(reference.Run(row.args).exitCode, 0) << row.cpDelayed;
        std::string faults = std::string(R"({")") + row.cpDelayed + R"(": {"delayMs": 500}})";
        std::vector<SimFleet> fleets;
        std::vector<int> pids;
        for (size_t i = 0; i < std::size(kSignals); ++i) {
            fleets.push_back(SimFleet::FromJson(FaultFleet(faults)));
            pids.push_back(fleets.back().Start(row.args, "slow"));
        }
        for (size_t i = 0; i < fleets.size(); ++i) {
            for (int wait = 0; wait < 1000 && !TraceHas(fleets[i], row.cpBefore); ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(ProcessSignalMask(pids[i], "SigCgt:") & allFive, allFive) << row.cpDelayed;
            kill(pids[i], kSignals[i]);
            // The delayed call has not returned yet: the signal arrived during the write.
            EXPECT_FALSE(TraceHas(fleets[i], row.cpDelayed))
                << row.cpDelayed << " signal " << kSignals[i];
        }
        for (size_t i = 0; i < fleets.size(); ++i) {
            RunResult result = fleets[i].WaitFor(pids[i], "slow");
            std::string what =
                std::string(row.cpDelayed) + " signal " + std::to_string(kSignals[i]);
            EXPECT_EQ(result.signal, 0) << what;
            EXPECT_EQ(result.out, kSetSuccessfullyLine) << what;
            EXPECT_EQ(result.exitCode, 0) << what;
            EXPECT_EQ(WithoutFaults(fleets[i].FleetText()), WithoutFaults(reference.FleetText()))
                << what;
            EXPECT_NE(fleets[i].FleetText(), FaultFleet(faults)) << what;
        }
    }
}

}  // namespace
