// The option table and the three scans of the command line.
#include "cli/options.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "cli/convert.h"
#include "cli/exit_codes.h"
#include "cli/help.h"
#include "cli/info.h"
#include "cli/messages.h"
#include "cli/session.h"
#include "cli/state.h"
#include "consumables/consumables.h"
#include "consumables/offsets.h"

const char* g_cpOptString = "d:LhV";

const struct option g_stOptions[23] = {
    {"device-name", required_argument, nullptr, 'd'},
    {"list-devices", no_argument, nullptr, 'L'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"info", no_argument, nullptr, '0'},
    {"after-cleaning-clear", no_argument, nullptr, '1'},
    {"brake-roller-clear", no_argument, nullptr, '2'},
    {"pick-roller-clear", no_argument, nullptr, '3'},
    {"roller-set-clear", no_argument, nullptr, '4'},
    {"pad-clear", no_argument, nullptr, 'j'},
    {"sleeptimer", required_argument, nullptr, '5'},
    {"power-off", required_argument, nullptr, '6'},
    {"adf-front-offset-main", required_argument, nullptr, '7'},
    {"adf-front-offset-sub", required_argument, nullptr, '8'},
    {"adf-front-offset-end-of-page", required_argument, nullptr, '9'},
    {"adf-back-offset-main", required_argument, nullptr, 'a'},
    {"adf-back-offset-sub", required_argument, nullptr, 'e'},
    {"adf-back-offset-end-of-page", required_argument, nullptr, 'f'},
    {"flatbed-offset-main", required_argument, nullptr, 'g'},
    {"flatbed-offset-sub", required_argument, nullptr, 'i'},
    {"adf-magnification-adjustment", required_argument, nullptr, 'b'},
    {"flatbed-magnification-adjustment", required_argument, nullptr, 'c'},
    {nullptr, 0, nullptr, 0},
};

static const char kProgramName[] = "orvexconsumables";
static const int kOffsetLimit = 4;          // offsets lie within -4..4 steps of 0.5 mm
static const int kMagnificationLimit = 31;  // magnifications lie within -31..31 tenths

// Support flags of the open scanner that a setting option may need.
static const unsigned kNeedsPowerSave = 0x01;
static const unsigned kNeedsPowerOff = 0x02;
static const unsigned kNeedsOffsets = 0x04;
static const unsigned kNeedsFlatbed = 0x08;
static const unsigned kNeedsEndOfPage = 0x10;

struct SettingOption;

/// Converts and records an option's value; false when the value is missing or not convertible.
typedef bool SettingHandler(const SettingOption& option, const char* word, const char* value,
                            velnor_command_info* record);

using LabelField = const char* ardosa_info::*;
using OffsetField = int32_t offset_request::*;
using RecordField = int32_t velnor_command_info::*;

// One setting option. Columns: its code; the handler of its kind; the support flags the scanner
// must report; for counters the label that must read cpLabelText; uiBit is the uiClearMask bit of
// a counter, the uiSet bit of an offset, the uiRequest bit of a magnification; the field that
// receives an offset or a magnification.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding): columns in their documented order
struct SettingOption {
    int iCode;
    SettingHandler* pfnHandle;
    unsigned uiNeeds;
    LabelField pLabel;
    const char* cpLabelText;
    uint32_t uiBit;
    OffsetField pOffset;
    RecordField pValue;
};

static SettingHandler HandleCounter;
static SettingHandler HandleSleepTimer;
static SettingHandler HandlePowerOff;
static SettingHandler HandleOffset;
static SettingHandler HandleMagnification;

static constexpr SettingOption Counter(int code, LabelField label, const char* text, uint32_t bit) {
    return {code, HandleCounter, 0, label, text, bit, nullptr, nullptr};
}

static constexpr SettingOption Offset(int code, unsigned needs, uint32_t bit, OffsetField field) {
    return {code, HandleOffset, kNeedsOffsets | needs, nullptr, nullptr, bit, field, nullptr};
}

static constexpr SettingOption Magnification(int code, unsigned needs, uint32_t bit,
                                             RecordField field) {
    return {code, HandleMagnification, kNeedsOffsets | needs, nullptr, nullptr, bit, nullptr,
            field};
}

// Constant-initialised: no code runs before main.
static constexpr SettingOption kSettingOptions[] = {
    Counter('1', &ardosa_info::cpCleaningLabel,
            "After cleaning:", ConsumableRowOf(ConsumableKind::kAfterCleaning).uiClearBit),
    Counter('2', &ardosa_info::cpRollerLabel,
            "Brake Roller:", ConsumableRowOf(ConsumableKind::kBrakeRoller).uiClearBit),
    Counter('3', &ardosa_info::cpPickLabel,
            "Pick Roller:", ConsumableRowOf(ConsumableKind::kPickRoller).uiClearBit),
    Counter('4', &ardosa_info::cpRollerLabel,
            "Roller Set:", ConsumableRowOf(ConsumableKind::kRollerSet).uiClearBit),
    Counter('j', &ardosa_info::cpRollerLabel,
            "Pad:", ConsumableRowOf(ConsumableKind::kPad).uiClearBit),
    {'5', HandleSleepTimer, kNeedsPowerSave, nullptr, nullptr, 0, nullptr, nullptr},
    {'6', HandlePowerOff, kNeedsPowerOff, nullptr, nullptr, 0, nullptr, nullptr},
    Offset('7', 0, kOffsetMain, &offset_request::iMain),
    Offset('8', 0, kOffsetSub, &offset_request::iSub),
    Offset('9', kNeedsEndOfPage, kOffsetEndOfPage, &offset_request::iEndOfPage),
    Offset('a', 0, kOffsetMain, &offset_request::iMain),
    Offset('e', 0, kOffsetSub, &offset_request::iSub),
    Offset('f', kNeedsEndOfPage, kOffsetEndOfPage, &offset_request::iEndOfPage),
    Offset('g', kNeedsFlatbed, kOffsetMain, &offset_request::iMain),
    Offset('i', kNeedsFlatbed, kOffsetSub, &offset_request::iSub),
    Magnification('b', 0, kRequestAdfMagnification, &velnor_command_info::iAdfMagnification),
    Magnification('c', kNeedsFlatbed, kRequestFlatbedMagnification,
                  &velnor_command_info::iFlatbedMagnification),
};

// A common command: printed while parsing, it completes the run.
struct CommonCommand {
    int iCode;
    void (*pfnRun)(velnor_command_info* record);
};

static void RunScannerList(velnor_command_info*) {
    ShowScannerList();
}

static void RunVersion(velnor_command_info*) {
    ShowVerInfo();
}

static const CommonCommand kCommonCommands[] = {
    {'0', ShowInfo},
    {'L', RunScannerList},
    {'h', ShowHelpList},
    {'V', RunVersion},
};

static const CommonCommand* FindCommonCommand(int code) {
    for (const CommonCommand& command : kCommonCommands) {
        if (command.iCode == code) {
            return &command;
        }
    }
    return nullptr;
}

static const SettingOption* FindSettingOption(int code) {
    for (const SettingOption& option : kSettingOptions) {
        if (option.iCode == code) {
            return &option;
        }
    }
    return nullptr;
}

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

// --- What the open scanner offers ---

static unsigned ScannerSupport() {
    unsigned support = 0;
    support |= g_ArdosaInfo.bPowerSaveSupported != 0 ? kNeedsPowerSave : 0;
    support |= g_ArdosaInfo.bPowerOffSupported != 0 ? kNeedsPowerOff : 0;
    support |= g_OffSetData.bOffsetSupported != 0 ? kNeedsOffsets : 0;
    support |= g_OffSetData.bFlatbed != 0 ? kNeedsFlatbed : 0;
    support |= g_OffSetData.bEndOfPage != 0 ? kNeedsEndOfPage : 0;
    return support;
}

// A label offers its option only when present and equal to the whole text.
static bool IsLabel(const char* label, const char* text) {
    return label != nullptr && std::strcmp(label, text) == 0;
}

static bool IsOffered(const SettingOption& option) {
    if (option.pLabel != nullptr && !IsLabel(g_ArdosaInfo.*option.pLabel, option.cpLabelText)) {
        return false;
    }
    return (option.uiNeeds & ~ScannerSupport()) == 0;
}

bool IsOptionOffered(int code) {
    const SettingOption* option = FindSettingOption(code);
    return option == nullptr || IsOffered(*option);
}

// --- Value handlers, one per kind of setting option ---

static void ReportRounded(const char* word, int from, int to) {
    std::string message = FormatMessage("rounded value of %s from %d to %d", word, from, to);
    ShowErrMsg(nullptr, message.c_str());
    g_iErrCode = kExitRounded;
}

static void ReportRoundedTenths(const char* word, int from, int to) {
    std::string message =
        FormatMessage("rounded value of %s from %.01f to %.01f", word, from / 10.0, to / 10.0);
    ConvertDoubleMeg(&message[0]);
    ShowErrMsg(nullptr, message.c_str());
    g_iErrCode = kExitRounded;
}

static int Clamp(int value, int lo, int hi) {
    return value < lo ? lo : (value > hi ? hi : value);
}

// The value brought into lo..hi; a clamped value is reported.
static int ClampReported(const char* word, int value, int lo, int hi) {
    int clamped = Clamp(value, lo, hi);
    if (clamped != value) {
        ReportRounded(word, value, clamped);
    }
    return clamped;
}

static bool HandleCounter(const SettingOption& option, const char*, const char*,
                          velnor_command_info* record) {
    record->uiRequest |= kRequestClearCounters;
    record->uiClearMask |= option.uiBit;
    return true;
}

// The minutes of a sleep-timer step as the library reports it. A step whose minutes would not
// fit in an int stands for the farthest whole step that does, so no step can overflow.
static int SleepMinutes(int32_t step) {
    const long long farthest = INT32_MAX / kMinutesPerSleepStep * kMinutesPerSleepStep;
    long long minutes = MinutesOfSleepStep(step);
    return static_cast<int>(minutes > farthest ? farthest
                                               : (minutes < -farthest ? -farthest : minutes));
}

// A value off the 5-minute step goes toward zero, or to the nearer end when outside the range.
static int RoundToSleepStep(int minutes, int lo, int hi) {
    if (minutes < lo) {
        return lo;
    }
    if (minutes >= hi) {
        return hi;
    }
    return kMinutesPerSleepStep * (minutes / kMinutesPerSleepStep);
}

static bool HandleSleepTimer(const SettingOption&, const char* word, const char* value,
                             velnor_command_info* record) {
    record->uiRequest |= kRequestSleepTimer;
    int minutes = 0;
    if (!ConvertStringToInt(value, &minutes)) {
        return false;
    }
    int lo = SleepMinutes(g_ArdosaInfo.iSleepMinStep);
    int hi = SleepMinutes(g_ArdosaInfo.iSleepMaxStep);
    if (minutes % kMinutesPerSleepStep != 0) {
        int rounded = RoundToSleepStep(minutes, lo, hi);
        ReportRounded(word, minutes, rounded);
        minutes = rounded;
    }
    // Only fires after the rounding when the scanner reports a lowest setting above its highest.
    record->iSleepMinutes = ClampReported(word, minutes, lo, hi);
    return true;
}

static bool HandlePowerOff(const SettingOption&, const char*, const char* value,
                           velnor_command_info* record) {
    record->uiRequest |= kRequestPowerOff;
    int code = ConvertPowerTime(value);
    if (code == -1) {
        return false;
    }
    record->iPowerOffCode = code;
    return true;
}

static bool HandleOffset(const SettingOption& option, const char* word, const char* value,
                         velnor_command_info* record) {
    int group = ConvertSource(option.iCode);
    offset_request* request = GetOffsetInfo(*record, group);
    if (request == nullptr) {
        return false;
    }
    record->uiRequest |= kRequestOffsets;
    record->uiOffsetGroups |= static_cast<uint32_t>(group);
    request->uiSet |= option.uiBit;
    int offset = 0;
    if (!ConvertStringToInt(value, &offset)) {
        return false;
    }
    request->*option.pOffset = ClampReported(word, offset, -kOffsetLimit, kOffsetLimit);
    return true;
}

static bool HandleMagnification(const SettingOption& option, const char* word, const char* value,
                                velnor_command_info* record) {
    record->uiRequest |= option.uiBit;
    int tenths = 0;
    if (!ConvertStringToIntx10(value, tenths)) {
        return false;
    }
    int clamped = Clamp(tenths, -kMagnificationLimit, kMagnificationLimit);
    if (clamped != tenths) {
        ReportRoundedTenths(word, tenths, clamped);
    }
    record->*option.pValue = clamped;
    return true;
}

// --- The scans ---

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

bool HasCommonCommand(int argc, char** argv, bool& hasCommon) {
    hasCommon = false;
    int code = 0;
    while ((code = NextOption(argc, argv)) != -1) {
        if (FindCommonCommand(code) != nullptr) {
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
    record->iSleepMinutes = SleepMinutes(g_ArdosaInfo.iSleepStep);
    record->iPowerOffCode = g_ArdosaInfo.iPowerOffSetting;
    return true;
}

static bool HandleSettingOption(const SettingOption& option, char** argv,
                                velnor_command_info* record, MainScan& scan) {
    if (scan.bHasCommon) {
        return true;  // the common command runs instead; the option is not even checked
    }
    if (!scan.bSessionOpened && !OpenSessionForSettings(record)) {
        return false;
    }
    scan.bSessionOpened = true;
    const char* word = OptionWord(argv);
    if (!IsOffered(option)) {
        ShowErrMsg("unrecognized option '%s'", word);
        g_iErrCode = kExitUnknownOption;
        return false;
    }
    if (!option.pfnHandle(option, word, optarg, record)) {
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

bool ParseCommandLine(int argc, char** argv, velnor_command_info* record, bool* finished) {
    if (argc == 1) {
        ShowInfo(record);
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
        const CommonCommand* common = FindCommonCommand(code);
        if (common != nullptr) {
            common->pfnRun(record);
            *finished = true;
            return true;
        }
        const SettingOption* setting = FindSettingOption(code);
        if (code != 'd' && setting == nullptr) {
            g_iErrCode = kExitUnknownOption;
            return false;
        }
        if (setting != nullptr && !HandleSettingOption(*setting, argv, record, scan)) {
            return false;
        }
        *finished = false;
    }
    return CheckStrayWords(argc, argv, *finished);
}
