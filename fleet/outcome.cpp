// Names of the statuses and the questions every format asks of a run.
#include "fleet/outcome.h"

#include <algorithm>
#include <charconv>

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

namespace {

// The civil date of a day counted from 1970-01-01, by H. Hinnant's days-to-civil algorithm. The C
// library's gmtime_r would read the local time zone's file on its first call (it sets the zone up
// whatever the call), which costs the writing process pages and a file for nothing: UTC needs no
// zone.
void CivilFromDays(long long days, long long* year, unsigned* month, unsigned* day) {
    days += 719468;  // from 0000-03-01
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    *month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    *year = static_cast<long long>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

// Appends the number with at least `digits` digits (leading zeros), then the separator.
void Append(std::string* text, long long number, size_t digits, char separator) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    size_t length = static_cast<size_t>(end - buffer);
    text->append(length < digits ? digits - length : 0, '0');
    text->append(buffer, length);
    *text += separator;
}

}  // namespace

std::string Rfc3339(long long unixSeconds) {
    long long days = unixSeconds >= 0 ? unixSeconds / 86400 : (unixSeconds - 86399) / 86400;
    long long seconds = unixSeconds - days * 86400;
    long long year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, &year, &month, &day);
    // Composed with to_chars, not printf: the writing process uses no printf otherwise, and would
    // map the C library's formatting code for this alone.
    std::string text;
    Append(&text, year, 4, '-');
    Append(&text, month, 2, '-');
    Append(&text, day, 2, 'T');
    Append(&text, seconds / 3600, 2, ':');
    Append(&text, seconds / 60 % 60, 2, ':');
    Append(&text, seconds % 60, 2, 'Z');
    return text;
}
