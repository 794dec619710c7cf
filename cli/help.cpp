// Help, version and device-list output.
#include "cli/help.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "access/binding.h"
#include "access/device_list.h"
#include "access/paths.h"
#include "cli/convert.h"
#include "cli/option_table.h"
#include "cli/session.h"
#include "cli/state.h"
#include "consumables/power_off.h"

static const char kDefaultVersion[] = "2.0.200";
static const char kDefaultCopyright[] = "2020-2021";

// The rows of the device part in their help places, found while compiling.
struct device_help_order {
    const option_row* apRows[kOptionCount];
    size_t uiCount;
};

static constexpr device_help_order MakeDeviceHelpOrder() {
    device_help_order order{};
    for (int place = 1; place <= static_cast<int>(kOptionCount); ++place) {
        for (const option_row& row : kOptionRows) {
            if (row.iHelpPlace == place) {
                order.apRows[order.uiCount++] = &row;
            }
        }
    }
    return order;
}

static constexpr device_help_order kDeviceHelpOrder = MakeDeviceHelpOrder();

// The short options in table order, each description starting in column 31.
static void PrintCommonPart() {
    printf("Usage: orvexconsumables [OPTION]...\n\n");
    for (const option_row& row : kOptionRows) {
        if (std::strchr(g_cpOptString, row.iCode) != nullptr) {
            std::string option = std::string("-") + static_cast<char>(row.iCode) + ", --" +
                                 row.cpName +
                                 (row.eKind == OptionKind::kDeviceName ? " DEVICE" : "");
            printf("%-30s%s\n", option.c_str(), row.cpHelp);
        }
    }
    printf("\n");
}

// A text composed while compiling.
struct fixed_text {
    char szText[64];
    size_t uiLength;
};

static constexpr void Append(fixed_text& text, const char* part) {
    while (*part != '\0') {
        text.szText[text.uiLength++] = *part++;
    }
}

static constexpr void AppendNumber(fixed_text& text, int number) {
    if (number < 0) {
        Append(text, "-");
        number = -number;
    }
    if (number >= 10) {
        AppendNumber(text, number / 10);
    }
    text.szText[text.uiLength++] = static_cast<char>('0' + number % 10);
}

// Tenths as a decimal with one place: -31 gives "-3.1".
static constexpr void AppendTenths(fixed_text& text, int tenths) {
    if (tenths < 0) {
        Append(text, "-");
        tenths = -tenths;
    }
    AppendNumber(text, tenths / 10);
    Append(text, ".");
    AppendNumber(text, tenths % 10);
}

// What the options of a kind take, as the help shows it after the option, from the same limits
// and texts that the parser uses.
static constexpr fixed_text ValuesText(OptionKind kind) {
    fixed_text text{};
    switch (kind) {
        case OptionKind::kPowerOff:
            Append(text, " ");
            Append(text, kPowerOffInactiveText);
            for (const power_off_time& time : kPowerOffTimes) {
                Append(text, " | ");
                Append(text, time.cpOptionText);
            }
            break;
        case OptionKind::kOffset:
            Append(text, " ");
            AppendNumber(text, -kOffsetLimit);
            Append(text, "..");
            AppendNumber(text, kOffsetLimit);
            Append(text, "(in steps of 1)");
            break;
        case OptionKind::kMagnification:
            Append(text, " ");
            AppendTenths(text, -kMagnificationLimit);
            Append(text, "..");
            AppendTenths(text, kMagnificationLimit);
            Append(text, "(in steps of ");
            AppendTenths(text, 1);
            Append(text, ")");
            break;
        default:
            break;
    }
    return text;
}

static constexpr fixed_text kPowerOffValues = ValuesText(OptionKind::kPowerOff);
static constexpr fixed_text kOffsetValues = ValuesText(OptionKind::kOffset);
static constexpr fixed_text kMagnificationValues = ValuesText(OptionKind::kMagnification);

// An entry of the device part: the option, what it takes (the sleep timer's range is the
// scanner's own), and its description.
static void PrintDeviceEntry(const option_row& row, const report_view& view) {
    fputs("--", stdout);
    fputs(row.cpName, stdout);
    switch (row.eKind) {
        case OptionKind::kSleepTimer:
            printf(" %lld..%lld(in steps of %d)", view.oSleepTimer->llMinMinutes,
                   view.oSleepTimer->llMaxMinutes, kMinutesPerSleepStep);
            break;
        case OptionKind::kPowerOff:
            fputs(kPowerOffValues.szText, stdout);
            break;
        case OptionKind::kOffset:
            fputs(kOffsetValues.szText, stdout);
            break;
        case OptionKind::kMagnification:
            fputs(kMagnificationValues.szText, stdout);
            break;
        default:
            break;
    }
    fputs("\n  ", stdout);
    fputs(row.cpHelp, stdout);
    putchar('\n');
}

void ShowHelpList(velnor_command_info* record) {
    PrintCommonPart();
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    printf("Options specific to device '%s'\n", record->cpDeviceName);
    for (size_t i = 0; i < kDeviceHelpOrder.uiCount; ++i) {
        const option_row& row = *kDeviceHelpOrder.apRows[i];
        if (IsOptionOffered(row, *g_pReportView)) {
            PrintDeviceEntry(row, *g_pReportView);
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
