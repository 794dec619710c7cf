// Plugin output: a summary line with performance data, then one line per scanner.
#include "status/nagios_format.h"

#include <algorithm>
#include <map>

namespace {

// A state's name and exit status, in the order of PluginState.
struct state_row {
    const char* cpName;
    int iExitStatus;
};

const state_row kStates[] = {
    {"OK", 0},
    {"UNKNOWN", 3},
    {"WARNING", 1},
    {"CRITICAL", 2},
};

const state_row& RowOf(PluginState state) {
    return kStates[static_cast<int>(state)];
}

const std::optional<int32_t>& LifeOf(const scanner_outcome& scanner,
                                     const consumable_view& counter) {
    return scanner.aLife[static_cast<size_t>(counter.eKind)];
}

// The state of a part's life left against the thresholds.
PluginState LifeState(int32_t life, int32_t sheets, const program_info& program) {
    if (IsAtOrBelowPercent(life, sheets, program.iCriticalPercent)) {
        return PluginState::kCritical;
    }
    return IsAtOrBelowPercent(life, sheets, program.iWarningPercent) ? PluginState::kWarning
                                                                     : PluginState::kOk;
}

bool IsOutOfPolicy(const scanner_outcome& scanner) {
    return scanner.oPolicy &&
           std::any_of(scanner.oPolicy->vChecks.begin(), scanner.oPolicy->vChecks.end(),
                       [](const setting_check& c) { return !c.bCompliant; });
}

// What the scanner's data says: marks, life left, settings.
PluginState DataState(const scanner_outcome& scanner, const program_info& program) {
    PluginState state = IsOutOfPolicy(scanner) ? PluginState::kWarning : PluginState::kOk;
    for (const consumable_view& counter : scanner.stReport.vConsumables) {
        if (IsMarked(counter)) {
            state = std::max(state, PluginState::kWarning);
        }
        if (LifeOf(scanner, counter)) {
            state = std::max(state, LifeState(*LifeOf(scanner, counter), counter.iSheets, program));
        }
    }
    return state;
}

PluginState ScannerState(const scanner_outcome& scanner, const program_info& program) {
    switch (scanner.eStatus) {
        case ScannerStatus::kOk:
            return DataState(scanner, program);
        case ScannerStatus::kBusy:
            return std::max(PluginState::kUnknown,
                            scanner.bCached ? DataState(scanner, program) : PluginState::kOk);
        default:
            return PluginState::kCritical;
    }
}

// A text on one line of plugin output: no line ends or other control characters, and no "|",
// which would start the performance data.
std::string OnOneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '|') {
            c = ' ';
        }
    }
    return line;
}

// A device name fit for a perfdata label: on one line, without quotes and equals signs.
std::string CleanLabel(const std::string& device) {
    std::string label = OnOneLine(device);
    label.erase(
        std::remove_if(label.begin(), label.end(), [](char c) { return c == '\'' || c == '='; }),
        label.end());
    return label;
}

// The device part of each scanner's perfdata labels (for the scanners with data): its cleaned
// name, followed by " #<position>" while it reads the same as another's. Each pass makes the
// names that clashed differ; the bound only guards against a pass that would not.
std::vector<std::string> DeviceLabels(const run_outcome& run) {
    std::vector<std::string> labels;
    for (const scanner_outcome& scanner : run.vScanners) {
        labels.push_back(HasData(scanner) ? CleanLabel(scanner.strDevice) : "");
    }
    for (size_t pass = 0; pass <= labels.size(); ++pass) {
        std::map<std::string, int> uses;
        for (size_t i = 0; i < labels.size(); ++i) {
            uses[labels[i]] += HasData(run.vScanners[i]) ? 1 : 0;
        }
        bool clashed = false;
        std::vector<std::string> next = labels;
        for (size_t i = 0; i < labels.size(); ++i) {
            if (HasData(run.vScanners[i]) && uses[labels[i]] > 1) {
                next[i] += " #" + std::to_string(i + 1);
                clashed = true;
            }
        }
        if (!clashed) {
            break;
        }
        labels = std::move(next);
    }
    return labels;
}

// "=<sheets>;<warn>;<crit>;0;<life>" where the life is known: warn and crit are the sheets at
// which the share left reaches the thresholds. Else "=<sheets>;;;0".
std::string PerfdataValue(const std::optional<int32_t>& life, int32_t sheets,
                          const program_info& program) {
    std::string value = "=" + std::to_string(sheets);
    if (!life) {
        return value + ";;;0";
    }
    long long warn = static_cast<long long>(*life) * (100 - program.iWarningPercent) / 100;
    long long crit = static_cast<long long>(*life) * (100 - program.iCriticalPercent) / 100;
    return value + ";" + std::to_string(warn) + ";" + std::to_string(crit) + ";0;" +
           std::to_string(*life);
}

std::string Perfdata(const run_outcome& run, const program_info& program) {
    std::vector<std::string> labels = DeviceLabels(run);
    std::string perfdata;
    for (size_t i = 0; i < run.vScanners.size(); ++i) {
        const scanner_outcome& scanner = run.vScanners[i];
        if (!HasData(scanner)) {
            continue;
        }
        for (const consumable_view& counter : scanner.stReport.vConsumables) {
            perfdata += (perfdata.empty() ? "'" : " '") + labels[i] + " " +
                        ConsumableRowOf(counter.eKind).cpId + "'" +
                        PerfdataValue(LifeOf(scanner, counter), counter.iSheets, program);
        }
    }
    return perfdata;
}

std::string EnumerationFailure(EnumerationStatus status) {
    switch (status) {
        case EnumerationStatus::kLibrariesMissing:
            return "the service libraries could not be loaded";
        case EnumerationStatus::kTimeout:
            return "the enumeration timed out";
        default:
            return "the enumeration failed";
    }
}

// "3 scanners: 1 ok, 1 busy, 1 absent".
std::string Summary(const run_outcome& run) {
    if (run.eEnumeration != EnumerationStatus::kOk) {
        return EnumerationFailure(run.eEnumeration);
    }
    size_t total = run.vScanners.size();
    std::string summary = std::to_string(total) + (total == 1 ? " scanner" : " scanners");
    const char* separator = ": ";
    for (ScannerStatus status : g_eScannerStatuses) {
        auto count = std::count_if(run.vScanners.begin(), run.vScanners.end(),
                                   [&](const scanner_outcome& s) { return s.eStatus == status; });
        if (count != 0) {
            summary += separator + std::to_string(count) + " " + ScannerStatusName(status);
            separator = ", ";
        }
    }
    return summary;
}

// Appends "<what>: <item>, <item>" to the details when there is an item.
void AddDetail(const char* what, const std::vector<std::string>& items,
               std::vector<std::string>* details) {
    std::string detail;
    for (const std::string& item : items) {
        detail += (detail.empty() ? std::string(what) + ": " : ", ") + item;
    }
    if (!detail.empty()) {
        details->push_back(detail);
    }
}

// The settings out of the policy: "sleep timer 20 (wanted 15)".
std::vector<std::string> DriftItems(const scanner_outcome& scanner) {
    std::vector<std::string> items;
    if (!scanner.oPolicy) {
        return items;
    }
    for (const setting_check& check : scanner.oPolicy->vChecks) {
        if (!check.bCompliant) {
            std::string actual =
                check.oActual ? SettingValueText(check.eSetting, *check.oActual) : "unknown";
            items.push_back(std::string(PolicySettingRowOf(check.eSetting).cpName) + " " + actual +
                            " (wanted " + SettingValueText(check.eSetting, check.iWanted) + ")");
        }
    }
    return items;
}

// What the scanner's data calls for: marks, parts at or below the warning share of their life,
// settings out of the policy.
std::vector<std::string> DataDetails(const scanner_outcome& scanner, const program_info& program) {
    std::vector<std::string> marked, life, details;
    for (const consumable_view& counter : scanner.stReport.vConsumables) {
        std::string id = ConsumableRowOf(counter.eKind).cpId;
        if (IsMarked(counter)) {
            marked.push_back(id +
                             (HasFirstMark(counter.eMarks) ? " (first mark)" : " (second mark)"));
        }
        const std::optional<int32_t>& sheets = LifeOf(scanner, counter);
        if (sheets && IsAtOrBelowPercent(*sheets, counter.iSheets, program.iWarningPercent)) {
            life.push_back(id + " " + std::to_string(RemainingPercent(*sheets, counter.iSheets)) +
                           "% left");
        }
    }
    AddDetail("marked", marked, &details);
    AddDetail("life", life, &details);
    AddDetail("out of policy", DriftItems(scanner), &details);
    return details;
}

// "<device>: ok - marked: pick_roller (first mark)", "<device>: busy - <message>",
// "<device>: busy (last read <time>) - life: pad 5% left; <message>".
std::string ScannerLine(const scanner_outcome& scanner, const program_info& program) {
    std::string line = OnOneLine(scanner.strDevice) + ": " + ScannerStatusName(scanner.eStatus);
    if (scanner.bCached) {
        line += " (last read " + Rfc3339(scanner.llReadAt) + ")";
    }
    std::vector<std::string> details =
        HasData(scanner) ? DataDetails(scanner, program) : std::vector<std::string>{};
    for (const fleet_message& message : scanner.vMessages) {
        details.push_back(OnOneLine(message.strText));
    }
    std::string joined;
    for (const std::string& detail : details) {
        joined += (joined.empty() ? " - " : "; ") + detail;
    }
    return line + joined + "\n";
}

}  // namespace

PluginState PluginStateOf(const run_outcome& run, const program_info& program) {
    PluginState state = IsCompleteEnumeration(run) ? PluginState::kOk : PluginState::kCritical;
    for (const scanner_outcome& scanner : run.vScanners) {
        state = std::max(state, ScannerState(scanner, program));
    }
    return state;
}

int PluginExitStatus(PluginState state) {
    return RowOf(state).iExitStatus;
}

std::string RenderNagiosUsageError(const std::string& error) {
    return std::string("ORVEXCONSUMABLES ") + RowOf(PluginState::kUnknown).cpName + " - " + error +
           "\n";
}

std::string RenderNagios(const run_outcome& run, const program_info& program) {
    std::string perfdata = Perfdata(run, program);
    std::string out = std::string("ORVEXCONSUMABLES ") + RowOf(PluginStateOf(run, program)).cpName +
                      " - " + OnOneLine(Summary(run)) + (perfdata.empty() ? "" : " | " + perfdata) +
                      "\n";
    for (const scanner_outcome& scanner : run.vScanners) {
        out += ScannerLine(scanner, program);
    }
    for (const fleet_message& message : run.vMessages) {
        out += OnOneLine(message.strText) + "\n";
    }
    return out;
}
