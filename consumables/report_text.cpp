// The information report as the tool prints it: one line per fact, the label padded with tabs.
#include <string>

#include "consumables/power_off.h"
#include "consumables/report_view.h"

namespace {

// One line: indent, label, the tabs that align its value, the value.
void Line(FILE* out, const char* indent, const std::string& label, const char* tabs,
          const std::string& value) {
    std::fprintf(out, "%s%s%s%s\n", indent, label.c_str(), tabs, value.c_str());
}

std::string Sheets(int32_t count) {
    return std::to_string(count) + " Sheets";
}

// The label tabs differ by counter: the cleaning label is long, "Pad:" short.
const char* CounterTabs(ConsumableKind kind) {
    switch (kind) {
        case ConsumableKind::kAfterCleaning:
            return "\t\t";
        case ConsumableKind::kPad:
            return "\t\t\t\t";
        default:
            return "\t\t\t";
    }
}

std::string PowerOffValue(const power_off_view& powerOff) {
    if (!powerOff.bActive) {
        return kPowerOffInactiveText;
    }
    const power_off_time* time = powerOff.oHours ? PowerOffTimeOfHours(*powerOff.oHours) : nullptr;
    return time != nullptr ? time->cpReportText : "unknown";
}

// The report counts offsets in the scanner's steps of 0.5 mm, which millimetres hold exactly.
std::string HalfMillimetres(double millimetres) {
    return std::to_string(static_cast<long long>(millimetres * 2)) + "*0.5mm";
}

void WriteIdentification(const report_view& view, FILE* out) {
    Line(out, "", "Device Info:", "", "");
    Line(out, " ", "Product Identification:", "\t", view.strProductId);
    Line(out, " ", "Product Revision:", "\t\t", view.strRevision);
    if (view.oInitialUse) {
        Line(out, " ", "Initial Use:", "\t\t\t", *view.oInitialUse);
    }
    Line(out, " ", "Serial Number:", "\t\t\t", view.strSerialNumber);
}

void WriteSettings(const report_view& view, FILE* out) {
    Line(out, "", "Device Setting:", "", "");
    Line(out, " ", "Total Count (ADF):", "\t\t", Sheets(view.iAdfSheets));
    if (view.oFlatbedSheets) {
        Line(out, " ", "Total Count (FB):", "\t\t", Sheets(*view.oFlatbedSheets));
    }
    for (const consumable_view& counter : view.vConsumables) {
        Line(out, " ", counter.strLabel, CounterTabs(counter.eKind),
             Sheets(counter.iSheets) + ShownMark(counter.eMarks));
    }
    if (view.oSleepTimer) {
        Line(out, " ", "Power saving:", "\t\t\t",
             std::to_string(view.oSleepTimer->llMinutes) + " Minutes");
    }
    if (view.oPowerOff) {
        Line(out, " ", "Power off:", "\t\t\t", PowerOffValue(*view.oPowerOff));
    }
}

void WriteSide(FILE* out, const char* name, const side_offsets_view& side) {
    Line(out, " ", name, "\t", "");
    Line(out, "  ", "Main:", "\t\t\t\t", HalfMillimetres(side.dMain));
    Line(out, "  ", "Sub:", "\t\t\t\t", HalfMillimetres(side.dSub));
    if (side.oEndOfPage) {
        Line(out, "  ", "End of page:", "\t\t\t", HalfMillimetres(*side.oEndOfPage));
    }
}

void WriteOffsets(const offsets_view& offsets, FILE* out) {
    Line(out, "", "Offset Setting:", "", "");
    WriteSide(out, "ADF(front):", offsets.stAdfFront);
    WriteSide(out, "ADF(back):", offsets.stAdfBack);
    if (offsets.oFlatbed) {
        WriteSide(out, "Flatbed:", *offsets.oFlatbed);
    }
}

void WriteMagnification(const magnification_view& magnification, FILE* out) {
    Line(out, "", "Vertical magnification adjustment:", "", "");
    Line(out, " ", "ADF:", "\t\t\t\t", FormatTenths(magnification.iAdf) + "%");
    if (magnification.oFlatbed) {
        Line(out, " ", "Flatbed:", "\t\t\t", FormatTenths(*magnification.oFlatbed) + "%");
    }
}

}  // namespace

bool RenderReportText(const report_view& view, FILE* out) {
    WriteIdentification(view, out);
    WriteSettings(view, out);
    if (view.oOffsets) {
        WriteOffsets(*view.oOffsets, out);
    }
    if (view.oMagnification) {
        WriteMagnification(*view.oMagnification, out);
    }
    return std::ferror(out) == 0;
}
