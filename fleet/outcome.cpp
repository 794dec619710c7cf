// Names of the statuses and the questions every format asks of a run.
#include "fleet/outcome.h"

#include <algorithm>

const ScannerStatus g_eScannerStatuses[5] = {ScannerStatus::kOk, ScannerStatus::kBusy,
                                             ScannerStatus::kTimeout, ScannerStatus::kError,
                                             ScannerStatus::kAbsent};

const char* ScannerStatusName(ScannerStatus status) {
    switch (status) {
        case ScannerStatus::kOk:
            return "ok";
        case ScannerStatus::kBusy:
            return "busy";
        case ScannerStatus::kTimeout:
            return "timeout";
        case ScannerStatus::kError:
            return "error";
        case ScannerStatus::kAbsent:
            return "absent";
    }
    return "error";
}

const char* EnumerationStatusName(EnumerationStatus status) {
    switch (status) {
        case EnumerationStatus::kOk:
            return "ok";
        case EnumerationStatus::kLibrariesMissing:
            return "libraries-missing";
        case EnumerationStatus::kTimeout:
            return "timeout";
        case EnumerationStatus::kError:
            return "error";
    }
    return "error";
}

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kInfo:
            return "info";
    }
    return "error";
}

bool IsMarked(const consumable_view& counter) {
    return counter.eMarks != CounterMarks::kNone;
}

bool HasSecondMarkFlag(ConsumableKind kind) {
    return ConsumableRowOf(kind).pSecondMark != nullptr;
}

bool IsCompleteEnumeration(const run_outcome& run) {
    return run.eEnumeration == EnumerationStatus::kOk &&
           std::none_of(run.vMessages.begin(), run.vMessages.end(),
                        [](const fleet_message& m) { return m.eSeverity == Severity::kError; });
}

bool IsCompleteReading(const run_outcome& run) {
    if (!IsCompleteEnumeration(run)) {
        return false;
    }
    for (const scanner_outcome& scanner : run.vScanners) {
        if (scanner.eStatus != ScannerStatus::kOk) {
            return false;
        }
    }
    return true;
}
