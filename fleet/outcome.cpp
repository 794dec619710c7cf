// Names of the statuses and the questions every format asks of a run.
#include "fleet/outcome.h"

#include <ctime>

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

bool IsCompleteReading(const run_outcome& run) {
    if (run.eEnumeration != EnumerationStatus::kOk) {
        return false;
    }
    for (const scanner_outcome& scanner : run.vScanners) {
        if (scanner.eStatus != ScannerStatus::kOk) {
            return false;
        }
    }
    return true;
}

bool HasData(const scanner_outcome& scanner) {
    return scanner.eStatus == ScannerStatus::kOk || scanner.bCached;
}

double RemainingRatio(int32_t life, int32_t sheets) {
    double left = static_cast<double>(life) - static_cast<double>(sheets);
    return left > 0 ? left / life : 0.0;
}

int RemainingPercent(int32_t life, int32_t sheets) {
    long long left = static_cast<long long>(life) - sheets;
    return left > 0 ? static_cast<int>(left * 100 / life) : 0;
}

bool IsAtOrBelowPercent(int32_t life, int32_t sheets, int percent) {
    long long left = static_cast<long long>(life) - sheets;
    return (left > 0 ? left : 0) * 100 <= static_cast<long long>(percent) * life;
}

std::string Rfc3339(long long unixSeconds) {
    std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm utc{};
    char text[32];
    if (gmtime_r(&time, &utc) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
        return "1970-01-01T00:00:00Z";  // beyond what the calendar functions take
    }
    return text;
}
