// The information report as the tool prints it: one line per fact, the label padded with tabs.
#include <string>

#include "consumables/report.h"

namespace {

// Power-off times by setting code; any other code is not expected from the library.
const char* const kPowerOffTexts[] = {"1 Hour", "2 Hours", "4 Hours", "8 Hours"};

// One line: indent, label, the tabs that align its value, the value.
void Line(FILE* out, const char* indent, const std::string& label, const char* tabs,
          const std::string& value) {
    std::fprintf(out, "%s%s%s%s\n", indent, label.c_str(), tabs, value.c_str());
}

std::string Sheets(int32_t count) {
    return std::to_string(count) + " Sheets";
}

// The first mark wins when both are set.
std::string CounterValue(const report_counter& counter) {
    const char* mark = counter.bFirstMark ? "(*)" : counter.bSecondMark ? "(**)" : "";
    return Sheets(counter.iSheets) + mark;
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

std::string PowerOffValue(const report_model& model) {
    if (!model.bPowerOffActive) {
        return "inactive";
    }
    int32_t code = model.iPowerOffSetting;
    return code >= 0 && code <= 3 ? kPowerOffTexts[code] : "unknown";
}

std::string HalfMillimetres(int32_t steps) {
    return std::to_string(steps) + "*0.5mm";
}

void WriteIdentification(const report_model& model, FILE* out) {
    Line(out, "", "Device Info:", "", "");
    Line(out, " ", "Product Identification:", "\t", model.strProductId);
    Line(out, " ", "Product Revision:", "\t\t", model.strRevision);
    if (model.bShowsInitialUse) {
        Line(out, " ", "Initial Use:", "\t\t\t", model.strInitialUse);
    }
    Line(out, " ", "Serial Number:", "\t\t\t", model.strSerialNumber);
}

void WriteSettings(const report_model& model, FILE* out) {
    Line(out, "", "Device Setting:", "", "");
    Line(out, " ", "Total Count (ADF):", "\t\t", Sheets(model.iAdfTotal));
    if (model.bHasFlatbed) {
        Line(out, " ", "Total Count (FB):", "\t\t", Sheets(model.iFbTotal));
    }
    for (const report_counter& counter : model.vCounters) {
        Line(out, " ", counter.strLabel, CounterTabs(counter.eKind), CounterValue(counter));
    }
    if (model.bPowerSaveSupported) {
        Line(out, " ", "Power saving:", "\t\t\t",
             std::to_string(model.llSleepMinutes) + " Minutes");
    }
    if (model.bPowerOffSupported) {
        Line(out, " ", "Power off:", "\t\t\t", PowerOffValue(model));
    }
}

void WriteSide(FILE* out, const char* name, const report_offsets& offsets, bool endOfPage) {
    Line(out, " ", name, "\t", "");
    Line(out, "  ", "Main:", "\t\t\t\t", HalfMillimetres(offsets.iMain));
    Line(out, "  ", "Sub:", "\t\t\t\t", HalfMillimetres(offsets.iSub));
    if (endOfPage) {
        Line(out, "  ", "End of page:", "\t\t\t", HalfMillimetres(offsets.iEndOfPage));
    }
}

void WriteOffsets(const report_model& model, FILE* out) {
    Line(out, "", "Offset Setting:", "", "");
    WriteSide(out, "ADF(front):", model.stAdfFront, model.bHasEndOfPage);
    WriteSide(out, "ADF(back):", model.stAdfBack, model.bHasEndOfPage);
    if (model.bHasFlatbedOffsets) {
        WriteSide(out, "Flatbed:", model.stFlatbed, false);
    }
    Line(out, "", "Vertical magnification adjustment:", "", "");
    Line(out, " ", "ADF:", "\t\t\t\t", FormatTenths(model.iAdfMagnification) + "%");
    if (model.bHasFlatbedOffsets) {
        Line(out, " ", "Flatbed:", "\t\t\t", FormatTenths(model.iFbMagnification) + "%");
    }
}

}  // namespace

bool RenderReportText(const report_model& model, FILE* out) {
    WriteIdentification(model, out);
    WriteSettings(model, out);
    if (model.bHasOffsets) {
        WriteOffsets(model, out);
    }
    return std::ferror(out) == 0;
}
