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

// An entry of the device part: the option with the values it takes, from the same limits that
// the parser applies (the sleep timer's are the scanner's own), then its description.
static void PrintDeviceEntry(const option_row& row, const report_view& view) {
    printf("--%s", row.cpName);
    switch (row.eKind) {
        case OptionKind::kSleepTimer:
            printf(" %lld..%lld(in steps of %d)", view.oSleepTimer->llMinMinutes,
                   view.oSleepTimer->llMaxMinutes, kMinutesPerSleepStep);
            break;
        case OptionKind::kPowerOff:
            printf(" %s", kPowerOffInactiveText);
            for (const power_off_time& time : kPowerOffTimes) {
                printf(" | %s", time.cpOptionText);
            }
            break;
        case OptionKind::kOffset:
            printf(" %d..%d(in steps of 1)", -kOffsetLimit, kOffsetLimit);
            break;
        case OptionKind::kMagnification:
            printf(" %s..%s(in steps of %s)", FormatTenths(-kMagnificationLimit).c_str(),
                   FormatTenths(kMagnificationLimit).c_str(), FormatTenths(1).c_str());
            break;
        default:
            break;
    }
    printf("\n  %s\n", row.cpHelp);
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
