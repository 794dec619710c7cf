// Help, version and device-list output.
#include "cli/help.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "access/binding.h"
#include "access/device_list.h"
#include "access/paths.h"
#include "cli/convert.h"
#include "cli/options.h"
#include "cli/session.h"
#include "cli/state.h"

static const char kDefaultVersion[] = "2.0.200";
static const char kDefaultCopyright[] = "2020-2021";

// The options every run offers: option text and description, printed in two columns.
struct CommonHelpLine {
    const char* cpOption;
    const char* cpDescription;
};

static const CommonHelpLine kCommonHelp[] = {
    {"-d, --device-name DEVICE", "use a given scanner device"},
    {"-L, --list-devices", "show available scanner devices"},
    {"-h, --help", "display this help message and exit"},
    {"-V, --version", "print version information"},
};

struct HelpEntry;
typedef void HelpLinePrinter(const HelpEntry& entry);

// One entry of the device part: printed when the open scanner offers the option with code iCode
// (the label and flag conditions of the option itself); the option line, then its description.
struct HelpEntry {
    int iCode;
    HelpLinePrinter* pfnPrintOption;
    const char* cpOption;
    const char* cpDescription;
};

static void PrintFixedOption(const HelpEntry& entry) {
    printf("%s\n", entry.cpOption);
}

// The sleep timer's range is the scanner's own; any step the library reports is multiplied
// without overflowing.
static void PrintSleepTimerOption(const HelpEntry& entry) {
    printf("%s %lld..%lld(in steps of 5)\n", entry.cpOption,
           MinutesOfSleepStep(g_ArdosaInfo.iSleepMinStep),
           MinutesOfSleepStep(g_ArdosaInfo.iSleepMaxStep));
}

static const HelpEntry kDeviceHelp[] = {
    {'0', PrintFixedOption, "--info", "show the current scanner's information"},
    {'1', PrintFixedOption, "--after-cleaning-clear", "clear the after cleaning counter"},
    {'2', PrintFixedOption, "--brake-roller-clear", "clear the brake roller counter"},
    {'4', PrintFixedOption, "--roller-set-clear", "clear the roller set counter"},
    {'j', PrintFixedOption, "--pad-clear", "clear the pad counter"},
    {'3', PrintFixedOption, "--pick-roller-clear", "clear the pick roller counter"},
    {'5', PrintSleepTimerOption, "--sleeptimer",
     "time in minutes until the internal power supply switches to sleep mode"},
    {'6', PrintFixedOption, "--power-off inactive | 1-hour | 2-hours | 4-hours | 8-hours",
     "time in hours until the power turn off automatically"},
    {'7', PrintFixedOption, "--adf-front-offset-main -4..4(in steps of 1)",
     "set main offset of adf front"},
    {'8', PrintFixedOption, "--adf-front-offset-sub -4..4(in steps of 1)",
     "set sub offset of adf front"},
    {'9', PrintFixedOption, "--adf-front-offset-end-of-page -4..4(in steps of 1)",
     "set end of page of adf front"},
    {'a', PrintFixedOption, "--adf-back-offset-main -4..4(in steps of 1)",
     "set main offset of adf back"},
    {'e', PrintFixedOption, "--adf-back-offset-sub -4..4(in steps of 1)",
     "set sub offset of adf back"},
    {'f', PrintFixedOption, "--adf-back-offset-end-of-page -4..4(in steps of 1)",
     "set end of page of adf back"},
    {'g', PrintFixedOption, "--flatbed-offset-main -4..4(in steps of 1)",
     "set main offset of flatbed"},
    {'i', PrintFixedOption, "--flatbed-offset-sub -4..4(in steps of 1)",
     "set sub offset of flatbed"},
    {'b', PrintFixedOption, "--adf-magnification-adjustment -3.1..3.1(in steps of 0.1)",
     "set magnification adjustment of adf"},
    {'c', PrintFixedOption, "--flatbed-magnification-adjustment -3.1..3.1(in steps of 0.1)",
     "set magnification adjustment of flatbed"},
};

static void PrintCommonPart() {
    printf("Usage: orvexconsumables [OPTION]...\n\n");
    for (const CommonHelpLine& line : kCommonHelp) {
        printf("%-30s%s\n", line.cpOption, line.cpDescription);
    }
    printf("\n");
}

void ShowHelpList(velnor_command_info* record) {
    PrintCommonPart();
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    printf("Options specific to device '%s'\n", record->cpDeviceName);
    for (const HelpEntry& entry : kDeviceHelp) {
        if (IsOptionOffered(entry.iCode)) {
            entry.pfnPrintOption(entry);
            printf("  %s\n", entry.cpDescription);
        }
    }
    printf("\n");
    ShowScannerList();
}

// A settings value, or the default when the library gives none or an empty text.
static const char* GetSetting(const char* key, const char* defaultText) {
    const char* value = g_fcpkorwc_GetXMLSettings2(key, defaultText, g_cpSettingsPath);
    return value == nullptr || value[0] == '\0' ? defaultText : value;
}

// The settings file is not ours: its text may not add lines or terminal controls to the output.
static std::string PrintableFirstLine(const char* text, const char* defaultText) {
    std::string line(text, std::strcspn(text, "\n"));
    for (char& c : line) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return line.empty() ? defaultText : line;
}

void ShowVerInfo() {
    printf("Consumable tool for Kavisto Series scanner\n");
    const char* version = GetSetting("Version", kDefaultVersion);
    printf("Version %s\n", IsValidVersion(version) ? version : kDefaultVersion);
    printf(
        "Copyright %s\n",
        PrintableFirstLine(GetSetting("Copyright", kDefaultCopyright), kDefaultCopyright).c_str());
}

void ShowScannerList() {
    printf("List of available devices:\n");
    for (const std::string& name : ListDeviceNames()) {
        printf("    %s\n", name.c_str());
    }
}
