// The three scans of the command line.
#include "cli/options.h"

#include <string>

#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/option_values.h"
#include "cli/session.h"
#include "cli/state.h"
#include "consumables/sleep_timer.h"

static const char kProgramName[] = "orvexconsumables";

static int NextOption(int argc, char** argv) {
    return getopt_long(argc, argv, g_cpOptString, g_stOptions, nullptr);
}

// glibc keeps state of its own (the place inside a cluster such as -Lh, the permutation
// bookkeeping) that only an index of 0 resets: 0 restarts at the first word with a fresh parser.
static void RestartScan() {
    optind = 0;
}

// The word as typed that holds the option just returned: when the value was given as a word of
// its own, that word is the last one taken and the option stands before it.
static const char* OptionWord(char** argv) {
    if (optarg != nullptr && optarg == argv[optind - 1]) {
        return argv[optind - 2];
    }
    return argv[optind - 1];
}

const char* GetValidScannerName(int argc, char** argv, bool* ok) {
    RestartScan();
    int code = 0;
    while ((code = NextOption(argc, argv)) != -1) {
        if (code == 'd') {
            return optarg;
        }
        if (code == '?') {
            *ok = false;
            g_iErrCode = kExitUnknownOption;
            return nullptr;
        }
    }
    return nullptr;
}

static bool IsCommonCommandCode(int code) {
    const option_row* row = FindOptionRow(code);
    return row != nullptr && IsCommonCommand(row->eKind);
}

bool HasCommonCommand(int argc, char** argv, bool& hasCommon) {
    hasCommon = false;
    int code = 0;
    while ((code = NextOption(argc, argv)) != -1) {
        if (IsCommonCommandCode(code)) {
            hasCommon = true;
            return true;
        }
        if (code == '?') {
            g_iErrCode = kExitUnknownOption;
            return false;
        }
    }
    return true;
}

// The main scan's knowledge between options.
struct MainScan {
    bool bHasCommon;      // a common command stands somewhere on the line
    bool bSessionOpened;  // this scan opened the session at its first setting option
};

static bool OpenSessionForSettings(velnor_command_info* record) {
    if (OpenWithName(record->cpDeviceName) != 0) {
        return false;
    }
    record->iSleepMinutes = SleepMinutesOfStep(g_ArdosaInfo.iSleepStep);
    record->iPowerOffCode = g_ArdosaInfo.iPowerOffSetting;
    return true;
}

static bool HandleSettingOption(const option_row& row, char** argv, velnor_command_info* record,
                                MainScan& scan) {
    if (scan.bHasCommon) {
        return true;  // the common command runs instead; the option is not even checked
    }
    if (!scan.bSessionOpened && !OpenSessionForSettings(record)) {
        return false;
    }
    scan.bSessionOpened = true;
    const char* word = OptionWord(argv);
    if (!IsOptionOffered(row, *g_pReportView)) {
        ShowErrMsg("unrecognized option '%s'", word);
        g_iErrCode = kExitUnknownOption;
        return false;
    }
    if (!RecordOptionValue(row, word, optarg, record)) {
        ShowErrMsg("setting of option %s failed(Invalid argument)", word);
        g_iErrCode = kExitInvalidValue;
        return false;
    }
    return true;
}

// Words left behind the options are stray; the parser has moved them to the end in their order.
static bool CheckStrayWords(int argc, char** argv, bool finished) {
    if (optind >= argc || finished) {
        return true;
    }
    std::string message =
        FormatMessage("argument without option: `%s';try %s --help", argv[argc - 1], kProgramName);
    ShowErrMsg(nullptr, message.c_str());
    g_iErrCode = kExitStrayArgument;
    return false;
}

bool ParseCommandLine(int argc, char** argv, velnor_command_info* record, bool* finished,
                      OptionKind* command) {
    if (argc == 1) {
        *command = OptionKind::kInfo;
        *finished = true;
        return true;
    }
    MainScan scan = {false, false};
    RestartScan();
    if (!HasCommonCommand(argc, argv, scan.bHasCommon)) {
        return false;
    }
    RestartScan();
    int code = 0;
    while ((code = NextOption(argc, argv)) != -1) {
        const option_row* row = FindOptionRow(code);
        if (row == nullptr) {
            g_iErrCode = kExitUnknownOption;
            return false;
        }
        if (IsCommonCommand(row->eKind)) {
            *command = row->eKind;
            *finished = true;
            return true;
        }
        if (row->eKind != OptionKind::kDeviceName &&
            !HandleSettingOption(*row, argv, record, scan)) {
            return false;
        }
        *finished = false;
    }
    return CheckStrayWords(argc, argv, *finished);
}
