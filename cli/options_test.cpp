// Tests of the option table and of the parser's decisions, against the in-process fake service.
#include "cli/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/state.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/tool_fixture.h"

namespace {

const char kMarker[] = "\n--- parse outcome ---\n";
const char kProgram[] = "orvexconsumables";

// An argument vector the option parser may permute; the program name comes first.
struct Argv {
    explicit Argv(const std::vector<std::string>& args) : words(1, kProgram) {
        words.insert(words.end(), args.begin(), args.end());
        for (std::string& word : words) {
            pointers.push_back(&word[0]);
        }
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
    char** argv() { return pointers.data(); }

    std::vector<std::string> words;
    std::vector<char*> pointers;
};

std::string DescribeRequest(const offset_request& r) {
    return std::to_string(r.uiSet) + ":" + std::to_string(r.iMain) + ":" + std::to_string(r.iSub) +
           ":" + std::to_string(r.iEndOfPage);
}

std::string DescribeRecord(const velnor_command_info& r) {
    char text[160];
    snprintf(text, sizeof text, "request=0x%x clear=0x%x sleep=%d power=%d groups=%u", r.uiRequest,
             r.uiClearMask, r.iSleepMinutes, r.iPowerOffCode, r.uiOffsetGroups);
    return std::string(text) + " front=" + DescribeRequest(r.stAdfFront) +
           " back=" + DescribeRequest(r.stAdfBack) + " flatbed=" + DescribeRequest(r.stFlatbed) +
           " mag=" + std::to_string(r.iAdfMagnification) + ":" +
           std::to_string(r.iFlatbedMagnification);
}

// What one ParseCommandLine printed, returned and left behind.
struct ParseRun {
    std::string out;
    std::string err;
    std::string result;  // "ok=1 finished=0 code=0"
    std::string record;
    std::vector<std::string> calls;  // entry points called, without arguments
};

// Runs the main scan in a child (the common commands print and may run the session); the child
// appends its results to standard output behind a marker.
ParseRun RunParse(const std::vector<std::string>& args) {
    Argv argv(args);
    RunResult run = RunInChild([&] {
        velnor_command_info record{};
        record.cpDeviceName = g_fake.deviceNames[0].c_str();
        bool finished = false;
        bool ok = ParseCommandLine(argv.argc(), argv.argv(), &record, &finished);
        printf("%sok=%d finished=%d code=%d\n%s\n", kMarker, ok, finished, g_iErrCode,
               DescribeRecord(record).c_str());
        for (const std::string& name : CalledEntryPoints()) {
            printf("%s\n", name.c_str());
        }
    });
    ParseRun parse;
    size_t marker = run.out.find(kMarker);
    EXPECT_NE(marker, std::string::npos) << run.out;
    parse.out = run.out.substr(0, marker);
    parse.err = run.err;
    std::vector<std::string> lines = SplitIntoLines(run.out.substr(marker + std::strlen(kMarker)));
    if (lines.size() >= 2) {
        parse.result = lines[0];
        parse.record = lines[1];
        parse.calls.assign(lines.begin() + 2, lines.end());
    }
    return parse;
}

int Count(const std::vector<std::string>& calls, const std::string& name) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

std::string Message(const std::string& text) {
    return std::string(kProgram) + ": " + text + "\n";
}

// The fake's plain scanner: sleep 5..60 at 15, power-off code 1, every counter, every offset.
const char kUntouched[] =
    "request=0x0 clear=0x0 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
    "flatbed=0:0:0:0 mag=0:0";

class OptionsTest : public ToolFakeServiceTest {};

TEST(OptionTable, HoldsTheLongOptionsInTableOrderWithTheirCodes) {
    const struct {
        const char* name;
        int hasArg;
        int code;
    } expected[] = {
        {"device-name", required_argument, 'd'},
        {"list-devices", no_argument, 'L'},
        {"help", no_argument, 'h'},
        {"version", no_argument, 'V'},
        {"info", no_argument, '0'},
        {"after-cleaning-clear", no_argument, '1'},
        {"brake-roller-clear", no_argument, '2'},
        {"pick-roller-clear", no_argument, '3'},
        {"roller-set-clear", no_argument, '4'},
        {"pad-clear", no_argument, 'j'},
        {"sleeptimer", required_argument, '5'},
        {"power-off", required_argument, '6'},
        {"adf-front-offset-main", required_argument, '7'},
        {"adf-front-offset-sub", required_argument, '8'},
        {"adf-front-offset-end-of-page", required_argument, '9'},
        {"adf-back-offset-main", required_argument, 'a'},
        {"adf-back-offset-sub", required_argument, 'e'},
        {"adf-back-offset-end-of-page", required_argument, 'f'},
        {"flatbed-offset-main", required_argument, 'g'},
        {"flatbed-offset-sub", required_argument, 'i'},
        {"adf-magnification-adjustment", required_argument, 'b'},
        {"flatbed-magnification-adjustment", required_argument, 'c'},
    };
    ASSERT_EQ(std::size(expected) + 1, std::size(g_stOptions));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(g_stOptions[i].name, expected[i].name) << "entry " << i;
        EXPECT_EQ(g_stOptions[i].has_arg, expected[i].hasArg) << expected[i].name;
        EXPECT_EQ(g_stOptions[i].flag, nullptr) << expected[i].name;
        EXPECT_EQ(g_stOptions[i].val, expected[i].code) << expected[i].name;
    }
    const option& terminator = g_stOptions[std::size(expected)];
    EXPECT_EQ(terminator.name, nullptr);
    EXPECT_EQ(terminator.has_arg, 0);
    EXPECT_EQ(terminator.flag, nullptr);
    EXPECT_EQ(terminator.val, 0);
    EXPECT_STREQ(g_cpOptString, "d:LhV");
}

TEST_F(OptionsTest, DeviceNameScanTakesTheFirstDeviceNameOnly) {
    const struct {
        std::vector<std::string> args;
        std::string result;  // name or (null), ok flag, exit code
        std::string err;
    } cases[] = {
        {{"-d", "A", "-d", "B"}, "A ok=1 code=0", ""},
        {{"--device-name=B", "-d", "A"}, "B ok=1 code=0", ""},
        {{"--dev", "C"}, "C ok=1 code=0", ""},
        {{"-dA"}, "A ok=1 code=0", ""},
        {{"-Ld", "A"}, "A ok=1 code=0", ""},
        {{"--pad-clear", "extra", "-d", "A"}, "A ok=1 code=0", ""},
        {{"-d", "A", "-x"}, "A ok=1 code=0", ""},  // the scan stops at its -d
        {{"--info", "--sleeptimer", "5"}, "(null) ok=1 code=0", ""},
        {{}, "(null) ok=1 code=0", ""},
        {{"-x", "-d", "A"}, "(null) ok=0 code=3", "orvexconsumables: invalid option -- 'x'\n"},
        {{"-d"}, "(null) ok=0 code=3", "orvexconsumables: option requires an argument -- 'd'\n"},
        {{"--sleeptimer"},
         "(null) ok=0 code=3",
         "orvexconsumables: option '--sleeptimer' requires an argument\n"},
        {{"--colour", "-d", "A"},
         "(null) ok=0 code=3",
         "orvexconsumables: unrecognized option '--colour'\n"},
    };
    for (const auto& c : cases) {
        Argv argv(c.args);
        RunResult run = RunInChild([&] {
            bool ok = true;
            const char* name = GetValidScannerName(argv.argc(), argv.argv(), &ok);
            printf("%s ok=%d code=%d", name != nullptr ? name : "(null)", ok, g_iErrCode);
        });
        std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(run.out, c.result) << line;
        EXPECT_EQ(run.err, c.err) << line;
    }
}

TEST_F(OptionsTest, DeviceNameScanReturnsTheWordOfTheArgumentVector) {
    Argv argv({"--device-name", "ko-330xs:FAKE0001"});
    bool ok = true;
    EXPECT_EQ(GetValidScannerName(argv.argc(), argv.argv(), &ok), argv.pointers[2]);
}

TEST_F(OptionsTest, CommonCommandScanFindsACommonCommandAnywhere) {
    const struct {
        std::vector<std::string> args;
        std::string result;  // returned, hasCommon, exit code
    } cases[] = {
        {{"--pick-roller-clear"}, "ok=1 common=0 code=0"},
        {{"--pick-roller-clear", "--info"}, "ok=1 common=1 code=0"},
        {{"--sleeptimer", "ten", "extra", "-L"}, "ok=1 common=1 code=0"},
        {{"-d", "A", "-h"}, "ok=1 common=1 code=0"},
        {{"--vers"}, "ok=1 common=1 code=0"},
        {{"-dA", "-V"}, "ok=1 common=1 code=0"},
        {{"-h", "--bogus"}, "ok=1 common=1 code=0"},  // stops at the first common command
        {{"--bogus", "-h"}, "ok=0 common=0 code=3"},
        {{"-d", "A"}, "ok=1 common=0 code=0"},
        {{"--in"}, "ok=1 common=1 code=0"},
    };
    for (const auto& c : cases) {
        Argv argv(c.args);
        RunResult run = RunInChild([&] {
            optind = 0;
            bool hasCommon = true;
            bool ok = HasCommonCommand(argv.argc(), argv.argv(), hasCommon);
            printf("ok=%d common=%d code=%d", ok, hasCommon, g_iErrCode);
        });
        EXPECT_EQ(run.out, c.result) << testing::PrintToString(c.args);
    }
}

// One decision of the main scan on a configured scanner.
struct ParseCase {
    std::vector<std::string> args;
    void (*configure)(FakeService& fake);  // null: the plain scanner
    std::string out;
    std::string result;
    std::string record;
};

void NoFlatbed(FakeService& fake) {
    fake.offsets.bFlatbed = 0;
}
void NoEndOfPage(FakeService& fake) {
    fake.offsets.bEndOfPage = 0;
}
void NoOffsets(FakeService& fake) {
    fake.offsets.bOffsetSupported = 0;
}
void NoPowerSettings(FakeService& fake) {
    fake.ardosa.bPowerSaveSupported = 0;
    fake.ardosa.bPowerOffSupported = 0;
}
void PadScanner(FakeService& fake) {
    fake.ardosa.cpRollerLabel = "Pad:";
}
void RollerSetScanner(FakeService& fake) {
    fake.ardosa.cpRollerLabel = "Roller Set:";
}
void PadWithBlank(FakeService& fake) {
    fake.ardosa.cpRollerLabel = "Pad: ";
}
void LowerCaseBrake(FakeService& fake) {
    fake.ardosa.cpRollerLabel = "brake roller:";
}
void NoLabels(FakeService& fake) {
    fake.ardosa.cpRollerLabel = nullptr;
    fake.ardosa.cpPickLabel = nullptr;
    fake.ardosa.cpCleaningLabel = nullptr;
}
void InvertedSleepRange(FakeService& fake) {
    fake.ardosa.iSleepMinStep = 12;
    fake.ardosa.iSleepMaxStep = 1;
}
// Steps whose minutes do not fit in an int stand for the farthest whole step that does.
void ExtremeSleepSteps(FakeService& fake) {
    fake.ardosa.iSleepMinStep = -2147483647 - 1;
    fake.ardosa.iSleepMaxStep = 2147483647;
    fake.ardosa.iSleepStep = 2147483647;
}

void RunCases(const ParseCase* begin, const ParseCase* end) {
    for (const ParseCase* c = begin; c != end; ++c) {
        ResetToolState();
        InstallFakeService();
        if (c->configure != nullptr) {
            c->configure(g_fake);
        }
        ParseRun run = RunParse(c->args);
        std::string line = testing::PrintToString(c->args);
        EXPECT_EQ(run.out, c->out) << line;
        EXPECT_EQ(run.result, c->result) << line;
        EXPECT_EQ(run.record, c->record) << line;
        EXPECT_EQ(run.err, "") << line;
    }
}

TEST_F(OptionsTest, CounterOptionsAreAcceptedByTheirExactLabelOnly) {
    const std::string refusedPad = Message("unrecognized option '--pad-clear'");
    const ParseCase cases[] = {
        {{"--pick-roller-clear"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         "request=0x40 clear=0x4 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        {{"--after-cleaning-clear", "--brake-roller-clear", "--pick-roller-clear"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         "request=0x40 clear=0x7 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        {{"--pad-clear"},
         PadScanner,
         "",
         "ok=1 finished=0 code=0",
         "request=0x40 clear=0x10 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        {{"--roller-set-clear"},
         RollerSetScanner,
         "",
         "ok=1 finished=0 code=0",
         "request=0x40 clear=0x8 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        {{"--pad-clear"}, nullptr, refusedPad, "ok=0 finished=0 code=3", kUntouched},
        {{"--brake-roller-clear"},
         PadScanner,
         Message("unrecognized option '--brake-roller-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--roller-set-clear"},
         PadScanner,
         Message("unrecognized option '--roller-set-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--pad-clear"}, PadWithBlank, refusedPad, "ok=0 finished=0 code=3", kUntouched},
        {{"--brake-roller-clear"},
         LowerCaseBrake,
         Message("unrecognized option '--brake-roller-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--after-cleaning-clear"},
         NoLabels,
         Message("unrecognized option '--after-cleaning-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--pick-roller-clear"},
         NoLabels,
         Message("unrecognized option '--pick-roller-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        // Abbreviated as far as the option scanner allows; the message names the word as typed.
        {{"--pa"},
         nullptr,
         Message("unrecognized option '--pa'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--pick"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         "request=0x40 clear=0x4 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
    };
    RunCases(std::begin(cases), std::end(cases));
}

std::string SleepRecord(int minutes) {
    return "request=0x10 clear=0x0 sleep=" + std::to_string(minutes) +
           " power=1 groups=0 front=0:0:0:0 back=0:0:0:0 flatbed=0:0:0:0 mag=0:0";
}

TEST_F(OptionsTest, SleepTimerIsRoundedTowardZeroAndClampedToTheScannersRange) {
    const std::string invalid = Message("setting of option --sleeptimer failed(Invalid argument)");
    const ParseCase cases[] = {
        {{"--sleeptimer", "15"}, nullptr, "", "ok=1 finished=0 code=0", SleepRecord(15)},
        {{"--sleeptimer", "60"}, nullptr, "", "ok=1 finished=0 code=0", SleepRecord(60)},
        {{"--sleeptimer", "5"}, nullptr, "", "ok=1 finished=0 code=0", SleepRecord(5)},
        {{"--sleeptimer", "7"},
         nullptr,
         Message("rounded value of --sleeptimer from 7 to 5"),
         "ok=1 finished=0 code=5",
         SleepRecord(5)},
        {{"--sleeptimer", "58"},
         nullptr,
         Message("rounded value of --sleeptimer from 58 to 55"),
         "ok=1 finished=0 code=5",
         SleepRecord(55)},
        {{"--sleeptimer", "62"},
         nullptr,
         Message("rounded value of --sleeptimer from 62 to 60"),
         "ok=1 finished=0 code=5",
         SleepRecord(60)},
        {{"--sleeptimer", "0"},
         nullptr,
         Message("rounded value of --sleeptimer from 0 to 5"),
         "ok=1 finished=0 code=5",
         SleepRecord(5)},
        {{"--sleeptimer", "65"},
         nullptr,
         Message("rounded value of --sleeptimer from 65 to 60"),
         "ok=1 finished=0 code=5",
         SleepRecord(60)},
        {{"--sleeptimer", "-3"},
         nullptr,
         Message("rounded value of --sleeptimer from -3 to 5"),
         "ok=1 finished=0 code=5",
         SleepRecord(5)},
        {{"--sleep", "7"},
         nullptr,
         Message("rounded value of --sleep from 7 to 5"),
         "ok=1 finished=0 code=5",
         SleepRecord(5)},
        {{"--sleeptimer=58"},
         nullptr,
         Message("rounded value of --sleeptimer=58 from 58 to 55"),
         "ok=1 finished=0 code=5",
         SleepRecord(55)},
        // A lowest setting above the highest: the rounding, then the clamp to the highest.
        {{"--sleeptimer", "7"},
         InvertedSleepRange,
         Message("rounded value of --sleeptimer from 7 to 60") +
             Message("rounded value of --sleeptimer from 60 to 5"),
         "ok=1 finished=0 code=5",
         "request=0x10 clear=0x0 sleep=5 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        {{"--sleeptimer", "ten"}, nullptr, invalid, "ok=0 finished=0 code=2", SleepRecord(15)},
        {{"--sleeptimer", ""}, nullptr, invalid, "ok=0 finished=0 code=2", SleepRecord(15)},
        {{"--sleeptimer", "4294967301"},
         nullptr,
         invalid,
         "ok=0 finished=0 code=2",
         SleepRecord(15)},
        {{"--sleeptimer", "15 "}, nullptr, invalid, "ok=0 finished=0 code=2", SleepRecord(15)},
        {{"--sleeptimer="},
         nullptr,
         Message("setting of option --sleeptimer= failed(Invalid argument)"),
         "ok=0 finished=0 code=2",
         SleepRecord(15)},
        {{"--sleeptimer", "10"},
         NoPowerSettings,
         Message("unrecognized option '--sleeptimer'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--sleeptimer", "2147483647"},
         ExtremeSleepSteps,
         Message("rounded value of --sleeptimer from 2147483647 to 2147483645"),
         "ok=1 finished=0 code=5",
         SleepRecord(2147483645)},
        {{"--sleeptimer", "-2147483648"},
         ExtremeSleepSteps,
         Message("rounded value of --sleeptimer from -2147483648 to -2147483645"),
         "ok=1 finished=0 code=5",
         SleepRecord(-2147483645)},
        {{"--sleeptimer", "ten"},
         ExtremeSleepSteps,
         invalid,
         "ok=0 finished=0 code=2",
         SleepRecord(2147483645)},
    };
    RunCases(std::begin(cases), std::end(cases));
}

std::string PowerRecord(int code) {
    return "request=0x20 clear=0x0 sleep=15 power=" + std::to_string(code) +
           " groups=0 front=0:0:0:0 back=0:0:0:0 flatbed=0:0:0:0 mag=0:0";
}

TEST_F(OptionsTest, PowerOffTakesTheFiveWordsOnly) {
    const std::string invalid = Message("setting of option --power-off failed(Invalid argument)");
    const ParseCase cases[] = {
        {{"--power-off", "INACTIVE"}, nullptr, "", "ok=1 finished=0 code=0", PowerRecord(4)},
        {{"--power-off", "1-hour"}, nullptr, "", "ok=1 finished=0 code=0", PowerRecord(0)},
        {{"--power-off=8-Hours"}, nullptr, "", "ok=1 finished=0 code=0", PowerRecord(3)},
        {{"--power-off", "3-hours"}, nullptr, invalid, "ok=0 finished=0 code=2", PowerRecord(1)},
        {{"--power-off", ""}, nullptr, invalid, "ok=0 finished=0 code=2", PowerRecord(1)},
        {{"--power", "4-hours"},
         NoPowerSettings,
         Message("unrecognized option '--power'"),
         "ok=0 finished=0 code=3",
         kUntouched},
    };
    RunCases(std::begin(cases), std::end(cases));
}

std::string OffsetRecord(unsigned groups, const char* front, const char* back,
                         const char* flatbed) {
    return "request=0x80 clear=0x0 sleep=15 power=1 groups=" + std::to_string(groups) +
           " front=" + front + " back=" + back + " flatbed=" + flatbed + " mag=0:0";
}

TEST_F(OptionsTest, OffsetsAreClampedToTheirRangeAndNeedTheScannersFlags) {
    const ParseCase cases[] = {
        {{"--adf-front-offset-main", "5"},
         nullptr,
         Message("rounded value of --adf-front-offset-main from 5 to 4"),
         "ok=1 finished=0 code=5",
         OffsetRecord(1, "1:4:0:0", "0:0:0:0", "0:0:0:0")},
        {{"--adf-front-offset-sub", "-5"},
         nullptr,
         Message("rounded value of --adf-front-offset-sub from -5 to -4"),
         "ok=1 finished=0 code=5",
         OffsetRecord(1, "2:0:-4:0", "0:0:0:0", "0:0:0:0")},
        {{"--adf-front-offset-end-of-page", "4", "--adf-front-offset-main", "-4"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         OffsetRecord(1, "5:-4:0:4", "0:0:0:0", "0:0:0:0")},
        {{"--adf-back-offset-sub=-2", "--adf-back-offset-main", "3"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         OffsetRecord(2, "0:0:0:0", "3:3:-2:0", "0:0:0:0")},
        {{"--flatbed-offset-sub", "3", "--adf-back-offset-end-of-page", "-1"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         OffsetRecord(6, "0:0:0:0", "4:0:0:-1", "2:0:3:0")},
        {{"--flatbed-offset-main", "-1"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         OffsetRecord(4, "0:0:0:0", "0:0:0:0", "1:-1:0:0")},
        {{"--flatbed-offset-main", "1"},
         NoFlatbed,
         Message("unrecognized option '--flatbed-offset-main'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--adf-back-offset-end-of-page", "1"},
         NoEndOfPage,
         Message("unrecognized option '--adf-back-offset-end-of-page'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--adf-front-offset-main", "1"},
         NoOffsets,
         Message("unrecognized option '--adf-front-offset-main'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--adf-front-offset-main", ""},
         nullptr,
         Message("setting of option --adf-front-offset-main failed(Invalid argument)"),
         "ok=0 finished=0 code=2",
         OffsetRecord(1, "1:0:0:0", "0:0:0:0", "0:0:0:0")},
        {{"--adf-front-offset-main", "1.5"},
         nullptr,
         Message("setting of option --adf-front-offset-main failed(Invalid argument)"),
         "ok=0 finished=0 code=2",
         OffsetRecord(1, "1:0:0:0", "0:0:0:0", "0:0:0:0")},
        {{"--adf-front-offset-main", "-2147483649"},
         nullptr,
         Message("setting of option --adf-front-offset-main failed(Invalid argument)"),
         "ok=0 finished=0 code=2",
         OffsetRecord(1, "1:0:0:0", "0:0:0:0", "0:0:0:0")},
    };
    RunCases(std::begin(cases), std::end(cases));
}

std::string MagnificationRecord(unsigned request, int adf, int flatbed) {
    char text[32];
    snprintf(text, sizeof text, "0x%x", request);
    return std::string("request=") + text +
           " clear=0x0 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 flatbed=0:0:0:0 mag=" +
           std::to_string(adf) + ":" + std::to_string(flatbed);
}

TEST_F(OptionsTest, MagnificationsAreReadInTenthsAndClampedWithADecimalMessage) {
    const ParseCase cases[] = {
        {{"--adf-magnification-adjustment", "3.5"},
         nullptr,
         Message("rounded value of --adf-magnification-adjustment from 3.5 to 3.1"),
         "ok=1 finished=0 code=5",
         MagnificationRecord(0x100, 31, 0)},
        {{"--adf-magnification-adjustment", "-4"},
         nullptr,
         Message("rounded value of --adf-magnification-adjustment from -4.0 to -3.1"),
         "ok=1 finished=0 code=5",
         MagnificationRecord(0x100, -31, 0)},
        {{"--adf-magnification-adjustment", "3.1"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         MagnificationRecord(0x100, 31, 0)},
        {{"--adf-magnification-adjustment", "-3.14"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         MagnificationRecord(0x100, -31, 0)},
        {{"--adf-magnification-adjustment", "3.15"},
         nullptr,
         Message("rounded value of --adf-magnification-adjustment from 3.2 to 3.1"),
         "ok=1 finished=0 code=5",
         MagnificationRecord(0x100, 31, 0)},
        {{"--flatbed-magnification-adjustment=1.25", "--adf-mag", "-.5"},
         nullptr,
         "",
         "ok=1 finished=0 code=0",
         MagnificationRecord(0x300, -5, 13)},
        {{"--adf-magnification-adjustment", "1,5"},
         nullptr,
         Message("setting of option --adf-magnification-adjustment failed(Invalid argument)"),
         "ok=0 finished=0 code=2",
         MagnificationRecord(0x100, 0, 0)},
        {{"--flatbed-magnification-adjustment", "1"},
         NoFlatbed,
         Message("unrecognized option '--flatbed-magnification-adjustment'"),
         "ok=0 finished=0 code=3",
         kUntouched},
        {{"--adf-magnification-adjustment", "1"},
         NoOffsets,
         Message("unrecognized option '--adf-magnification-adjustment'"),
         "ok=0 finished=0 code=3",
         kUntouched},
    };
    RunCases(std::begin(cases), std::end(cases));
}

TEST_F(OptionsTest, StrayWordsAreReportedAfterTheOptionsAreValidated) {
    const auto stray = [](const char* word) {
        return Message(std::string("argument without option: `") + word +
                       "';try orvexconsumables --help");
    };
    const std::string pick =
        "request=0x40 clear=0x4 sleep=15 power=1 groups=0 front=0:0:0:0 back=0:0:0:0 "
        "flatbed=0:0:0:0 mag=0:0";
    const ParseCase cases[] = {
        {{"extra", "--pick-roller-clear"}, nullptr, stray("extra"), "ok=0 finished=0 code=9", pick},
        {{"one", "--pick-roller-clear", "two"},
         nullptr,
         stray("two"),
         "ok=0 finished=0 code=9",
         pick},
        {{"one", "two", "--pick-roller-clear"},
         nullptr,
         stray("two"),
         "ok=0 finished=0 code=9",
         pick},
        {{"--pick-roller-clear", "--", "--pad-clear"},
         nullptr,
         stray("--pad-clear"),
         "ok=0 finished=0 code=9",
         pick},
        {{"-d", "ko-330xs:FAKE0001", "%s%n"},
         nullptr,
         stray("%s%n"),
         "ok=0 finished=0 code=9",
         "request=0x0 clear=0x0 sleep=0 power=0 groups=0 front=0:0:0:0 back=0:0:0:0 "
         "flatbed=0:0:0:0 mag=0:0"},
        // The option is refused before the stray word is looked at.
        {{"extra", "--pad-clear"},
         nullptr,
         Message("unrecognized option '--pad-clear'"),
         "ok=0 finished=0 code=3",
         kUntouched},
    };
    RunCases(std::begin(cases), std::end(cases));
}

TEST_F(OptionsTest, SessionIsOpenedOnceAndOnlyAtTheFirstSettingOption) {
    ParseRun run = RunParse({"--pick-roller-clear", "--sleeptimer", "20", "--power-off", "inactive",
                             "--adf-front-offset-main", "1"});
    EXPECT_EQ(run.result, "ok=1 finished=0 code=0");
    EXPECT_EQ(Count(run.calls, "korwc_StartExcusive"), 1);
    EXPECT_EQ(Count(run.calls, "GetArdosaInfo"), 1);
    EXPECT_EQ(run.calls.front(), "korwc_StartExcusive");

    // A device selection alone opens nothing and records nothing.
    run = RunParse({"-d", "ko-330xs:FAKE0001", "-d", "other"});
    EXPECT_EQ(run.result, "ok=1 finished=0 code=0");
    EXPECT_THAT(run.calls, testing::IsEmpty());
    EXPECT_EQ(run.out, "");
}

TEST_F(OptionsTest, HelpOffersExactlyWhatTheParserAccepts) {
    const struct {
        void (*configure)(FakeService& fake);
        std::vector<int> offered;
    } cases[] = {
        {nullptr, {'0', '1', '2', '3', '5', '6', '7', '8', '9', 'a', 'e', 'f', 'g', 'i', 'b', 'c'}},
        {PadScanner,
         {'0', '1', 'j', '3', '5', '6', '7', '8', '9', 'a', 'e', 'f', 'g', 'i', 'b', 'c'}},
        {NoFlatbed, {'0', '1', '2', '3', '5', '6', '7', '8', '9', 'a', 'e', 'f', 'b'}},
        {NoEndOfPage, {'0', '1', '2', '3', '5', '6', '7', '8', 'a', 'e', 'g', 'i', 'b', 'c'}},
        {NoOffsets, {'0', '1', '2', '3', '5', '6'}},
        {NoLabels, {'0', '5', '6', '7', '8', '9', 'a', 'e', 'f', 'g', 'i', 'b', 'c'}},
    };
    const char kAllCodes[] = "01234j56789aefgibc";
    for (const auto& c : cases) {
        ResetToolState();
        InstallFakeService();
        if (c.configure != nullptr) {
            c.configure(g_fake);
        }
        g_ArdosaInfo = g_fake.ardosa;
        g_OffSetData = g_fake.offsets;
        std::vector<int> offered;
        for (const char* code = kAllCodes; *code != '\0'; ++code) {
            if (IsOptionOffered(*code)) {
                offered.push_back(*code);
            }
        }
        std::vector<int> expected = c.offered;
        std::sort(expected.begin(), expected.end());
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, expected);
    }
}

}  // namespace
