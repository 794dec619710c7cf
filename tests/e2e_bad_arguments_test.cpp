// Whole-program runs with hostile option values: every option that takes a value against empty,
// padded, signed, hexadecimal, trailing-garbage, out-of-range and maximal-length texts and against
// being repeated. A refused value writes nothing; an accepted one acts as its plain spelling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Names = std::vector<std::string>;

const char kDevice[] = "ko-330xs:KVFLT0001";

// The calls that change a scanner.
const Names kChangeCalls = {"ModeSelect_LongTimer", "SetPowerSavingEEPROM", "SetPowerOffTime",
                            "OnResetAfterCleaning", "OnResetBrake",         "OnResetPick",
                            "SetEEPROMData",        "SetOffSetData"};

// The longest word one argument can be: 128 KiB with its terminator.
const size_t kLongestWord = 131071;

enum class Kind { kDevice, kInteger, kDecimal, kPowerOff };

struct ValueOption {
    const char* cpOption;
    Kind kind;
    const char* cpFirst;   // two valid values, for the option given twice
    const char* cpSecond;  // (its last value differs from the scanner's setting)
};

const ValueOption kOptions[] = {
    {"-d", Kind::kDevice, kDevice, "ko-330xs:NOSUCH"},
    {"--sleeptimer", Kind::kInteger, "10", "20"},
    {"--power-off", Kind::kPowerOff, "1-hour", "8-hours"},
    {"--adf-front-offset-main", Kind::kInteger, "3", "-3"},
    {"--adf-front-offset-sub", Kind::kInteger, "3", "-3"},
    {"--adf-front-offset-end-of-page", Kind::kInteger, "-3", "2"},
    {"--adf-back-offset-main", Kind::kInteger, "3", "-3"},
    {"--adf-back-offset-sub", Kind::kInteger, "3", "-1"},
    {"--adf-back-offset-end-of-page", Kind::kInteger, "3", "-4"},
    {"--flatbed-offset-main", Kind::kInteger, "3", "-3"},
    {"--flatbed-offset-sub", Kind::kInteger, "3", "1"},
    {"--adf-magnification-adjustment", Kind::kDecimal, "2.5", "-0.7"},
    {"--flatbed-magnification-adjustment", Kind::kDecimal, "2.5", "3.04"},
};

// One hostile value and, per kind of option, the plain spelling that it stands for when the
// conversion accepts it (null: refused).
struct ValueCase {
    std::string value;
    const char* cpAsInteger;
    const char* cpAsDecimal;
};

const std::string kLongDigits(kLongestWord, '9');

const ValueCase kValues[] = {
    {"", nullptr, nullptr},
    // strtol skips leading blanks; the decimal patterns do not.
    {" 1", "1", nullptr},
    {"+1", "1", "1"},
    {"-0", "0", "0"},
    {"0x10", nullptr, nullptr},
    {"12abc", nullptr, nullptr},
    {"2147483648", nullptr, nullptr},
    // Narrowed to 32 bits this would be 5, a valid sleep timer.
    {"4294967301", nullptr, nullptr},
    {"12345678901234567890", nullptr, nullptr},
    {kLongDigits, nullptr, nullptr},
};

// A run, its arguments, and what it did.
struct Job {
    Names args;
    RunResult result = {};
    std::string fleetAfter = {};
    Names writes = {};
};

std::string FixtureText() {
    return ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/faults_fleet.json");
}

// Runs the jobs a few at a time, each on its own copy of the fixture.
void RunJobs(std::vector<Job>& jobs) {
    const size_t kWidth = 8;
    for (size_t first = 0; first < jobs.size(); first += kWidth) {
        std::vector<SimFleet> fleets;
        std::vector<int> pids;
        size_t last = std::min(jobs.size(), first + kWidth);
        for (size_t i = first; i < last; ++i) {
            fleets.push_back(SimFleet::FromJson(FixtureText()));
            pids.push_back(fleets.back().Start(jobs[i].args, "job"));
        }
        for (size_t i = first; i < last; ++i) {
            const SimFleet& fleet = fleets[i - first];
            jobs[i].result = fleet.WaitFor(pids[i - first], "job");
            jobs[i].fleetAfter = fleet.FleetText();
            jobs[i].writes = FilterTrace(fleet.TakeTrace(), kChangeCalls);
        }
    }
}

// The plain spelling a value stands for with this option, or null when it must be refused.
const char* PlainSpelling(const ValueOption& option, const ValueCase& value) {
    switch (option.kind) {
        case Kind::kInteger:
            return value.cpAsInteger;
        case Kind::kDecimal:
            return value.cpAsDecimal;
        default:
            return nullptr;  // device names and power-off words have no other spelling
    }
}

std::string RefusalOf(const ValueOption& option) {
    if (option.kind == Kind::kDevice) {
        return kNotConnectedLine;
    }
    return "orvexconsumables: setting of option " + std::string(option.cpOption) +
           " failed(Invalid argument)\n";
}

int RefusalCode(const ValueOption& option) {
    return option.kind == Kind::kDevice ? 6 : 2;
}

TEST(BadArguments, EveryValueOptionAgainstHostileValues) {
    // Per option: each hostile value, the option given twice, and the plain spellings that the
    // accepted ones must act like.
    struct Case {
        const ValueOption* option;
        size_t hostile;
        size_t plain;  // kRefused: the value must be refused
    };
    const size_t kRefused = SIZE_MAX;
    std::vector<Case> cases;
    std::vector<Job> jobs;
    auto add = [&](const ValueOption& option, const Names& hostile, const char* plain) {
        cases.push_back({&option, jobs.size(), kRefused});
        jobs.push_back({hostile});
        if (plain != nullptr) {
            cases.back().plain = jobs.size();
            jobs.push_back({{option.cpOption, plain}});
        }
    };
    for (const ValueOption& option : kOptions) {
        for (const ValueCase& value : kValues) {
            add(option, {option.cpOption, value.value}, PlainSpelling(option, value));
        }
        // The device-name scan stops at the first -d; every other option's last value wins.
        add(option, {option.cpOption, option.cpFirst, option.cpOption, option.cpSecond},
            option.kind == Kind::kDevice ? option.cpFirst : option.cpSecond);
    }
    RunJobs(jobs);
    const std::string fixture = FixtureText();
    size_t refused = 0;
    for (const Case& c : cases) {
        const Job& hostile = jobs[c.hostile];
        std::string what = c.option->cpOption + std::string(" ") + hostile.args[1].substr(0, 24) +
                           " (" + std::to_string(hostile.args.size()) + " words)";
        EXPECT_EQ(hostile.result.signal, 0) << what;
        if (c.plain == kRefused) {
            EXPECT_EQ(hostile.result.out, RefusalOf(*c.option)) << what;
            EXPECT_EQ(hostile.result.exitCode, RefusalCode(*c.option)) << what;
            EXPECT_EQ(hostile.writes, Names{}) << what;
            EXPECT_EQ(hostile.fleetAfter, fixture) << what;
            ++refused;
            continue;
        }
        const Job& plain = jobs[c.plain];
        EXPECT_EQ(hostile.result.out, plain.result.out) << what;
        EXPECT_EQ(hostile.result.err, plain.result.err) << what;
        EXPECT_EQ(hostile.result.exitCode, plain.result.exitCode) << what;
        EXPECT_EQ(hostile.result.exitCode, 0) << what;
        EXPECT_EQ(hostile.writes, plain.writes) << what;
        EXPECT_EQ(hostile.fleetAfter, plain.fleetAfter) << what;
    }
    // Refused: all ten values of -d and --power-off, seven of each integer option, eight of each
    // decimal one. Accepted: " 1", "+1", "-0" of the integer options, "+1", "-0" of the decimal
    // ones, and every option given twice.
    EXPECT_EQ(cases.size(), 13u * 11);
    EXPECT_EQ(refused, 10u * 2 + 7u * 9 + 8u * 2);
}

// Accepted spellings that still need their rounding line, and the writes of a repeated option.
TEST(BadArguments, AcceptedSpellingsDoWhatTheirValueSays) {
    struct Row {
        Names args;
        std::string out;
        Names writes;
    };
    const std::string sleep5 = std::string("ModeSelect_LongTimer(\"") + kDevice + "\", 5) = 1";
    const std::string sleep20 = std::string("ModeSelect_LongTimer(\"") + kDevice + "\", 20) = 1";
    const Row rows[] = {
        {{"--sleeptimer", " 1"},
         "orvexconsumables: rounded value of --sleeptimer from 1 to 5\n" +
             std::string(kSetSuccessfullyLine),
         {sleep5, "SetPowerSavingEEPROM(5) = 1", "SetEEPROMData() = 1"}},
        {{"--sleeptimer", "-0"},
         "orvexconsumables: rounded value of --sleeptimer from 0 to 5\n" +
             std::string(kSetSuccessfullyLine),
         {sleep5, "SetPowerSavingEEPROM(5) = 1", "SetEEPROMData() = 1"}},
        {{"--sleeptimer", "10", "--sleeptimer", "20"},
         kSetSuccessfullyLine,
         {sleep20, "SetPowerSavingEEPROM(20) = 1", "SetEEPROMData() = 1"}},
        // The current setting last: nothing to send at all.
        {{"--sleeptimer", "10", "--sleeptimer", "15"}, kSetSuccessfullyLine, {}},
        {{"--power-off", "1-hour", "--power-off", "8-hours"},
         kSetSuccessfullyLine,
         {"SetPowerOffTime(32) = 1", "SetEEPROMData() = 1"}},
    };
    std::vector<Job> jobs;
    for (const Row& row : rows) {
        jobs.push_back({row.args});
    }
    RunJobs(jobs);
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(jobs[i].result.out, rows[i].out) << testing::PrintToString(rows[i].args);
        EXPECT_EQ(jobs[i].result.exitCode, 0) << testing::PrintToString(rows[i].args);
        EXPECT_EQ(jobs[i].writes, rows[i].writes) << testing::PrintToString(rows[i].args);
    }
}

// Messages that quote a command-line word quote all of it, however long, and literally.
TEST(BadArguments, WordsAreQuotedWholeAndLiterally) {
    const std::string glued = "--sleeptimer=" + std::string(kLongestWord - 13, '7');
    const std::string stray(kLongestWord, 'w');
    const std::string unknown = "--" + std::string(kLongestWord - 2, 'u');
    struct Row {
        Names args;
        std::string out;
        int exitCode;
    };
    const Row rows[] = {
        {{glued},
         "orvexconsumables: setting of option " + glued + " failed(Invalid argument)\n",
         2},
        {{"--pick-roller-clear", stray},
         "orvexconsumables: argument without option: `" + stray + "';try orvexconsumables --help\n",
         9},
        // Only the option parser's own diagnostic, on the error stream.
        {{unknown}, "", 3},
        {{"--sleeptimer=%s%n%%"},
         "orvexconsumables: setting of option --sleeptimer=%s%n%% failed(Invalid argument)\n",
         2},
        {{"--pick-roller-clear", "%s%n%%"},
         "orvexconsumables: argument without option: `%s%n%%';try orvexconsumables --help\n",
         9},
    };
    std::vector<Job> jobs;
    for (const Row& row : rows) {
        jobs.push_back({row.args});
    }
    RunJobs(jobs);
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(jobs[i].result.out, rows[i].out) << i;
        EXPECT_EQ(jobs[i].result.exitCode, rows[i].exitCode) << i;
        EXPECT_EQ(jobs[i].writes, Names{}) << i;
        EXPECT_EQ(jobs[i].fleetAfter, FixtureText()) << i;
    }
    EXPECT_NE(jobs[2].result.err.find(unknown), std::string::npos);
}

}  // namespace
