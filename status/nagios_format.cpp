// Plugin output: a summary line with performance data, then one line per scanner.
#include "status/nagios_format.h"

#include <algorithm>

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

PluginState ScannerState(const scanner_outcome& scanner) {
    switch (scanner.eStatus) {
        case ScannerStatus::kOk:
            return std::any_of(scanner.stReport.vConsumables.begin(),
                               scanner.stReport.vConsumables.end(), IsMarked)
                       ? PluginState::kWarning
                       : PluginState::kOk;
        case ScannerStatus::kBusy:
            return PluginState::kUnknown;
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

std::string PerfdataLabel(const std::string& device, const char* consumable) {
    std::string label = OnOneLine(device + " " + consumable);
    label.erase(
        std::remove_if(label.begin(), label.end(), [](char c) { return c == '\'' || c == '='; }),
        label.end());
    return "'" + label + "'";
}

std::string Perfdata(const run_outcome& run) {
    std::string perfdata;
    for (const scanner_outcome& scanner : run.vScanners) {
        if (scanner.eStatus != ScannerStatus::kOk) {
            continue;
        }
        for (const consumable_view& counter : scanner.stReport.vConsumables) {
            perfdata += (perfdata.empty() ? "" : " ") +
                        PerfdataLabel(scanner.strDevice, ConsumableRowOf(counter.eKind).cpId) +
                        "=" + std::to_string(counter.iSheets) + ";;;0";
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

// "<device>: ok - marked: pick_roller (first mark)", "<device>: busy - <message>".
std::string ScannerLine(const scanner_outcome& scanner) {
    std::string line = OnOneLine(scanner.strDevice) + ": " + ScannerStatusName(scanner.eStatus);
    std::string details;
    for (const consumable_view& counter : scanner.stReport.vConsumables) {
        if (scanner.eStatus == ScannerStatus::kOk && IsMarked(counter)) {
            details += (details.empty() ? "marked: " : ", ") +
                       std::string(ConsumableRowOf(counter.eKind).cpId) +
                       (HasFirstMark(counter.eMarks) ? " (first mark)" : " (second mark)");
        }
    }
    for (const fleet_message& message : scanner.vMessages) {
        details += (details.empty() ? "" : "; ") + OnOneLine(message.strText);
    }
    return line + (details.empty() ? "" : " - " + details) + "\n";
}

}  // namespace

PluginState PluginStateOf(const run_outcome& run) {
    PluginState state = IsCompleteEnumeration(run) ? PluginState::kOk : PluginState::kCritical;
    for (const scanner_outcome& scanner : run.vScanners) {
        state = std::max(state, ScannerState(scanner));
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

std::string RenderNagios(const run_outcome& run) {
    std::string perfdata = Perfdata(run);
    std::string out = std::string("ORVEXCONSUMABLES ") + RowOf(PluginStateOf(run)).cpName + " - " +
                      OnOneLine(Summary(run)) + (perfdata.empty() ? "" : " | " + perfdata) + "\n";
    for (const scanner_outcome& scanner : run.vScanners) {
        out += ScannerLine(scanner);
    }
    for (const fleet_message& message : run.vMessages) {
        out += OnOneLine(message.strText) + "\n";
    }
    return out;
}
