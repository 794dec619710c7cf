// The table: fixed columns composed plain, then coloured, so that the escapes never shift them.
#include "status/table_format.h"

#include "fleet/settings_check.h"

namespace {

constexpr int kBarWidth = 20;
// " of " and the life, two spaces, the bar in brackets, a space and the share left.
constexpr size_t kLifeColumnsWidth = 4 + 10 + 2 + (kBarWidth + 2) + 1 + 4;

const char kRed[] = "\x1b[31m";
const char kGreen[] = "\x1b[32m";
const char kYellow[] = "\x1b[33m";
const char kReset[] = "\x1b[0m";

std::string Paint(const std::string& text, const char* colour, const program_info& program) {
    return program.bColour && colour != nullptr ? colour + text + kReset : text;
}

// A text on its line: control characters become spaces.
std::string OnOneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = ' ';
        }
    }
    return line;
}

// The text right-aligned in width columns (its bytes are ASCII), or left-aligned.
std::string Right(const std::string& text, size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string Left(const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

const char* StatusColour(ScannerStatus status) {
    switch (status) {
        case ScannerStatus::kOk:
            return kGreen;
        case ScannerStatus::kBusy:
            return kYellow;
        default:
            return kRed;
    }
}

const char* LifeColour(int32_t life, int32_t sheets, const program_info& program) {
    if (IsAtOrBelowPercent(life, sheets, program.iCriticalPercent)) {
        return kRed;
    }
    return IsAtOrBelowPercent(life, sheets, program.iWarningPercent) ? kYellow : kGreen;
}

// " of     200000  [###################.]  97%": the life, and the bar and share of it left.
std::string LifeColumns(int32_t life, int32_t sheets, const program_info& program) {
    long long left = static_cast<long long>(life) - sheets;
    int filled = left > 0 ? static_cast<int>(left * kBarWidth / life) : 0;
    std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    const char* colour = LifeColour(life, sheets, program);
    return " of " + Right(std::to_string(life), 10) + "  [" + Paint(bar, colour, program) + "] " +
           Paint(Right(std::to_string(RemainingPercent(life, sheets)), 3) + "%", colour, program);
}

std::string ConsumableLine(const scanner_outcome& scanner, const consumable_view& counter,
                           const program_info& program) {
    const std::optional<int32_t>& life = scanner.aLife[static_cast<size_t>(counter.eKind)];
    std::string line = "  " + Left(ConsumableRowOf(counter.eKind).cpId, 15) +
                       Right(std::to_string(counter.iSheets), 10);
    if (life) {
        line += LifeColumns(*life, counter.iSheets, program);
    } else if (IsMarked(counter)) {
        line += std::string(kLifeColumnsWidth, ' ');  // the mark stays in its column
    }
    if (IsMarked(counter)) {
        line += "  " + Paint(ShownMark(counter.eMarks),
                             HasSecondMark(counter.eMarks) ? kRed : kYellow, program);
    }
    return line + "\n";
}

std::string SettingText(PolicySetting setting, long long value) {
    return SettingValueText(setting, value) + (setting == PolicySetting::kSleepTimer ? " min" : "");
}

// "  sleep timer  15 min, as the policy wants" or "  power off    inactive; the policy wants
// 2-hours".
std::string DriftLine(const setting_check& check, const program_info& program) {
    std::string actual = check.oActual ? SettingText(check.eSetting, *check.oActual) : "unknown";
    std::string line = "  " + Left(PolicySettingRowOf(check.eSetting).cpName, 13) + actual;
    if (check.bCompliant) {
        return line + ", as the policy wants\n";
    }
    return line + "; " +
           Paint("the policy wants " + SettingText(check.eSetting, check.iWanted), kYellow,
                 program) +
           "\n";
}

std::string ScannerBlock(const scanner_outcome& scanner, const program_info& program) {
    std::string block =
        OnOneLine(scanner.strDevice) + ": " +
        Paint(ScannerStatusName(scanner.eStatus), StatusColour(scanner.eStatus), program) +
        (scanner.bCached ? ", last read " + Rfc3339(scanner.llReadAt) : "") + "\n";
    if (HasData(scanner)) {
        for (const consumable_view& counter : scanner.stReport.vConsumables) {
            block += ConsumableLine(scanner, counter, program);
        }
        if (scanner.oPolicy) {
            for (const setting_check& check : scanner.oPolicy->vChecks) {
                block += DriftLine(check, program);
            }
        }
    }
    for (const fleet_message& message : scanner.vMessages) {
        block += "  " + OnOneLine(message.strText) + "\n";
    }
    return block;
}

}  // namespace

std::string RenderTable(const run_outcome& run, const program_info& program) {
    std::string out;
    for (const scanner_outcome& scanner : run.vScanners) {
        out += (out.empty() ? "" : "\n") + ScannerBlock(scanner, program);
    }
    if (run.vScanners.empty() && run.eEnumeration == EnumerationStatus::kOk) {
        out += "no scanner is attached\n";
    }
    if (!run.vMessages.empty() && !out.empty()) {
        out += "\n";
    }
    for (const fleet_message& message : run.vMessages) {
        out +=
            std::string(SeverityName(message.eSeverity)) + ": " + OnOneLine(message.strText) + "\n";
    }
    return out;
}
