// The information report: identification, counters, power settings, offsets and magnifications.
#include "consumables/report.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "access/session.h"
#include "cli/convert.h"
#include "consumables/records.h"

// Models whose identification record carries a meaningful date of first use.
static const char* const kInitialUseModels[] = {"VX-901R", "VX-905R", "VX-913R"};

// Power-off times by setting code; any other code is not expected from the library.
static const char* const kPowerOffTexts[] = {"1 Hour", "2 Hours", "4 Hours", "8 Hours"};

static const char kSheets[] = "Sheets";
static const char kHalfMillimetres[] = "*0.5mm";
static const size_t kNumberTextSize = 1024;

// The library may fill a text field to its last byte without a terminator: never read past it.
template <size_t N>
static void PrintField(const char (&field)[N]) {
    printf("%.*s\n", static_cast<int>(N), field);
}

template <size_t N>
static bool FieldBeginsWith(const char (&field)[N], const char* prefix) {
    size_t length = std::strlen(prefix);
    return length <= N && std::strncmp(field, prefix, length) == 0;
}

static bool IsInitialUseModel() {
    for (const char* model : kInitialUseModels) {
        if (FieldBeginsWith(g_velnor_device_info.szProductId, model)) {
            return true;
        }
    }
    return false;
}

static void PrintSheets(int32_t count) {
    printf("%d %s\n", count, kSheets);
}

// The first mark wins when both are set.
static void PrintCounter(int32_t count, int32_t mark1, int32_t mark2) {
    const char* mark = mark1 != 0 ? "(*)" : mark2 != 0 ? "(**)" : "";
    printf("%d %s%s\n", count, kSheets, mark);
}

// One counter under the roller label, whichever part the label names.
static void PrintRollerCounter() {
    PrintCounter(g_ArdosaInfo.iRollerCount, g_ArdosaInfo.bRollerMark1, g_ArdosaInfo.bRollerMark2);
}

// A step beyond the largest one is reported, and kept, as the largest.
static void PrintSleepMinutes() {
    if (g_ArdosaInfo.iSleepStep > g_ArdosaInfo.iSleepMaxStep) {
        g_ArdosaInfo.iSleepStep = g_ArdosaInfo.iSleepMaxStep;
    }
    long long minutes = MinutesOfSleepStep(g_ArdosaInfo.iSleepStep);
    printf("%lld %s\n", minutes, "Minutes");
}

static void PrintPowerOff() {
    int32_t code = g_ArdosaInfo.iPowerOffSetting;
    const char* text = "unknown";  // a code the library is not expected to report
    if (g_ArdosaInfo.bPowerOffActive == 0) {
        text = "inactive";
    } else if (code >= 0 && code < static_cast<int32_t>(std::size(kPowerOffTexts))) {
        text = kPowerOffTexts[code];
    }
    printf("%s\n", text);
}

static void PrintOffset(int32_t halfMillimetres) {
    printf("%d%s\n", halfMillimetres, kHalfMillimetres);
}

// Tenths of a percent, always with a point as the decimal separator, then a percent sign.
static void PrintMagnification(int32_t tenths) {
    char text[kNumberTextSize];
    std::memset(text, 0, sizeof text);
    snprintf(text, sizeof text, "%.01f", tenths / 10.0);
    ConvertDoubleMeg(text);
    printf("%s%%\n", text);
}

static bool HasOffsets() {
    return g_OffSetData.bOffsetSupported != 0;
}

static bool HasEndOfPageOffsets() {
    return HasOffsets() && g_OffSetData.bEndOfPage != 0;
}

static bool HasFlatbedOffsets() {
    return HasOffsets() && g_OffSetData.bFlatbed != 0;
}

static bool HasPadLabel() {
    const char* label = g_ArdosaInfo.cpRollerLabel;
    return label != nullptr && std::strcmp(label, "Pad:") == 0;
}

static bool HasOtherRollerLabel() {
    return g_ArdosaInfo.cpRollerLabel != nullptr && !HasPadLabel();
}

// One line of the report. Columns: when it is printed (null: always); the label's format, with
// one %s; the fixed label, or null when the label is the record's text at ppLabel; what prints
// the value and the line end (null: the label format ends the line itself).
struct ReportLine {
    bool (*pfnShown)();
    const char* cpLabelFormat;
    const char* cpLabel;
    const char* const* ppLabel;
    void (*pfnValue)();
};

static constexpr ReportLine kReportLines[] = {
    {nullptr, "%s\n", "Device Info:", nullptr, nullptr},
    {nullptr, " %s\t", "Product Identification:", nullptr,
     [] { PrintField(g_velnor_device_info.szProductId); }},
    {nullptr, " %s\t\t", "Product Revision:", nullptr,
     [] { PrintField(g_velnor_device_info.szRevision); }},
    {IsInitialUseModel, " %s\t\t\t", "Initial Use:", nullptr,
     [] { PrintField(g_velnor_device_info.szInitialUse); }},
    {nullptr, " %s\t\t\t", "Serial Number:", nullptr,
     [] { PrintField(g_velnor_device_info.szSerialNumber); }},
    {nullptr, "%s\n", "Device Setting:", nullptr, nullptr},
    {nullptr, " %s\t\t", "Total Count (ADF):", nullptr,
     [] { PrintSheets(g_ArdosaInfo.iAdfTotal); }},
    {[] { return g_ArdosaInfo.bHasFlatbed != 0; }, " %s\t\t", "Total Count (FB):", nullptr,
     [] { PrintSheets(g_ArdosaInfo.iFbTotal); }},
    {[] { return g_ArdosaInfo.cpCleaningLabel != nullptr; }, " %s\t\t", nullptr,
     &g_ArdosaInfo.cpCleaningLabel,
     [] { PrintCounter(g_ArdosaInfo.iCleaningCount, g_ArdosaInfo.bCleaningMark1, 0); }},
    {HasPadLabel, " %s\t\t\t\t", nullptr, &g_ArdosaInfo.cpRollerLabel, PrintRollerCounter},
    {HasOtherRollerLabel, " %s\t\t\t", nullptr, &g_ArdosaInfo.cpRollerLabel, PrintRollerCounter},
    {[] { return g_ArdosaInfo.cpPickLabel != nullptr; }, " %s\t\t\t", nullptr,
     &g_ArdosaInfo.cpPickLabel,
     [] {
         PrintCounter(g_ArdosaInfo.iPickCount, g_ArdosaInfo.bPickMark1, g_ArdosaInfo.bPickMark2);
     }},
    {[] { return g_ArdosaInfo.bPowerSaveSupported != 0; }, " %s\t\t\t", "Power saving:", nullptr,
     PrintSleepMinutes},
    {[] { return g_ArdosaInfo.bPowerOffSupported != 0; }, " %s\t\t\t", "Power off:", nullptr,
     PrintPowerOff},
    {HasOffsets, "%s\n", "Offset Setting:", nullptr, nullptr},
    {HasOffsets, " %s\t\n", "ADF(front):", nullptr, nullptr},
    {HasOffsets, "  %s\t\t\t\t", "Main:", nullptr, [] { PrintOffset(g_OffSetData.iAdfFrontMain); }},
    {HasOffsets, "  %s\t\t\t\t", "Sub:", nullptr, [] { PrintOffset(g_OffSetData.iAdfFrontSub); }},
    {HasEndOfPageOffsets, "  %s\t\t\t", "End of page:", nullptr,
     [] { PrintOffset(g_OffSetData.iAdfFrontEndOfPage); }},
    {HasOffsets, " %s\t\n", "ADF(back):", nullptr, nullptr},
    {HasOffsets, "  %s\t\t\t\t", "Main:", nullptr, [] { PrintOffset(g_OffSetData.iAdfBackMain); }},
    {HasOffsets, "  %s\t\t\t\t", "Sub:", nullptr, [] { PrintOffset(g_OffSetData.iAdfBackSub); }},
    {HasEndOfPageOffsets, "  %s\t\t\t", "End of page:", nullptr,
     [] { PrintOffset(g_OffSetData.iAdfBackEndOfPage); }},
    {HasFlatbedOffsets, " %s\t\n", "Flatbed:", nullptr, nullptr},
    {HasFlatbedOffsets, "  %s\t\t\t\t", "Main:", nullptr,
     [] { PrintOffset(g_OffSetData.iFbMain); }},
    {HasFlatbedOffsets, "  %s\t\t\t\t", "Sub:", nullptr, [] { PrintOffset(g_OffSetData.iFbSub); }},
    {HasOffsets, "%s\n", "Vertical magnification adjustment:", nullptr, nullptr},
    {HasOffsets, " %s\t\t\t\t", "ADF:", nullptr,
     [] { PrintMagnification(g_OffSetData.iAdfMagnification); }},
    {HasFlatbedOffsets, " %s\t\t\t", "Flatbed:", nullptr,
     [] { PrintMagnification(g_OffSetData.iFbMagnification); }},
};

void ShowInfo(velnor_command_info* record) {
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    for (const ReportLine& line : kReportLines) {
        if (line.pfnShown != nullptr && !line.pfnShown()) {
            continue;
        }
        printf(line.cpLabelFormat, line.cpLabel != nullptr ? line.cpLabel : *line.ppLabel);
        if (line.pfnValue != nullptr) {
            line.pfnValue();
        }
    }
}
