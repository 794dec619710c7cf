// Text lines: one per scanner, its changes before its messages; then the summary.
#include "apply/text_format.h"

#include <algorithm>

namespace {

// A text on one line: no line ends or other control characters.
std::string OnOneLine(const std::string& text) {
    std::string line = text;
    std::replace_if(
        line.begin(), line.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }, ' ');
    return line;
}

// "sleep timer 30 -> 15 minutes", "power off unknown -> 2-hours (not applied)".
std::string ChangeText(const setting_change& change) {
    std::string from = change.oFrom ? SettingValueText(change.eSetting, *change.oFrom) : "unknown";
    return std::string(PolicySettingRowOf(change.eSetting).cpName) + " " + from + " -> " +
           SettingValueText(change.eSetting, change.iTo) + SettingUnit(change.eSetting) +
           (change.oApplied.value_or(true) ? "" : " (not applied)");
}

std::string ScannerLine(const apply_scanner& scanner) {
    std::string changes;
    for (const setting_change& change : scanner.vChanges) {
        changes += (changes.empty() ? "" : ", ") + ChangeText(change);
    }
    std::string details = changes;
    for (const fleet_message& message : scanner.vMessages) {
        details += (details.empty() ? "" : "; ") + OnOneLine(message.strText);
    }
    return OnOneLine(scanner.strDevice) + ": " + ApplyStatusRowOf(scanner.eStatus).cpName +
           (details.empty() ? "" : " - " + details) + "\n";
}

// "4 scanners: 2 compliant, 2 would-change".
std::string Summary(const apply_run& run) {
    size_t total = run.vScanners.size();
    std::string summary = std::to_string(total) + (total == 1 ? " scanner" : " scanners");
    const char* separator = ": ";
    for (const apply_status_row& row : kApplyStatuses) {
        auto count =
            std::count_if(run.vScanners.begin(), run.vScanners.end(),
                          [&](const apply_scanner& s) { return s.eStatus == row.eStatus; });
        if (count != 0) {
            summary += separator + std::to_string(count) + " " + row.cpName;
            separator = ", ";
        }
    }
    if (run.eEnumeration != EnumerationStatus::kOk) {
        summary += std::string(" (enumeration ") + EnumerationStatusName(run.eEnumeration) + ")";
    }
    return summary + "\n";
}

}  // namespace

std::string RenderApplyText(const apply_run& run, const program_info& /*program*/) {
    std::string out;
    for (const apply_scanner& scanner : run.vScanners) {
        out += ScannerLine(scanner);
    }
    for (const fleet_message& message : run.vMessages) {
        out +=
            std::string(SeverityName(message.eSeverity)) + ": " + OnOneLine(message.strText) + "\n";
    }
    return out + Summary(run);
}
