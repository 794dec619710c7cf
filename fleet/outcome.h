// What one reading of the fleet found: how the enumeration ended and what each scanner gave.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "consumables/report_view.h"
#include "fleet/policy.h"
#include "fleet/settings_check.h"

/// How reading one scanner ended.
enum class ScannerStatus { kOk, kBusy, kTimeout, kError, kAbsent };

/// How the enumeration of the attached scanners ended.
enum class EnumerationStatus { kOk, kLibrariesMissing, kTimeout, kError };

/// How much a message matters.
enum class Severity { kError, kWarning, kInfo };

/// A message about the run or about one scanner; the text is valid UTF-8.
struct fleet_message {
    Severity eSeverity;
    std::string strText;
};

/// A consumable found replaced: a reading counted fewer sheets than the reading before it (the
/// part was replaced, or its counter cleared).
struct consumable_replacement {
    long long llAt;         // Unix time of the reading that found it
    int32_t iSheetsBefore;  // the sheets of the reading before
};

/// The last replacement known of each consumable, indexed by ConsumableKind.
using consumable_replacements = std::array<std::optional<consumable_replacement>, kConsumableCount>;

/// One scanner of the run.
struct scanner_outcome {
    std::string strDevice;  // the device name, made valid UTF-8
    ScannerStatus eStatus;
    double dSeconds;  // how long reading it took, to the microsecond
    std::vector<fleet_message> vMessages;
    report_view stReport;    // the scanner's data: meaningful only when HasData
    std::string strName{};   // the device name byte for byte, as the library gives it
    bool bCached = false;    // the data is the stored reading of an earlier run
    long long llReadAt = 0;  // Unix time of the data's reading
    policy_life aLife{};     // the life that the policy gives each consumable
    consumable_replacements aReplaced{};
    std::optional<settings_check> oPolicy{};  // the settings against the policy's, when it has any
};

/// The whole run, scanners in enumeration order (then the requested ones that are absent).
struct run_outcome {
    EnumerationStatus eEnumeration;
    int iAttached;    // scanners enumerated (0 when the enumeration failed)
    double dSeconds;  // to the microsecond
    std::vector<fleet_message> vMessages;
    std::vector<scanner_outcome> vScanners;
};

/// The five scanner statuses, in the order in which they are listed.
extern const ScannerStatus g_eScannerStatuses[5];

/// The status as written in every format ("ok", "busy", "timeout", "error", "absent").
const char* ScannerStatusName(ScannerStatus status);

/// "ok", "libraries-missing", "timeout", "error".
const char* EnumerationStatusName(EnumerationStatus status);

/// "error", "warning", "info".
const char* SeverityName(Severity severity);

/// True when the counter carries its first or second mark.
bool IsMarked(const consumable_view& counter);

/// True when the consumable's counter has a second mark at all (the after-cleaning one has not).
bool HasSecondMarkFlag(ConsumableKind kind);

/// True when the enumeration was done and named every scanner it counted: no error about the run.
bool IsCompleteEnumeration(const run_outcome& run);

/// True when the enumeration was complete and every scanner it concerns was read.
bool IsCompleteReading(const run_outcome& run);

/// True when the scanner has data: read in this run, or a stored reading of an earlier one.
bool HasData(const scanner_outcome& scanner);

/// The share of a life left after the sheets counted: (life - sheets) / life, never below 0.
double RemainingRatio(int32_t life, int32_t sheets);

/// The whole percent of a life left after the sheets counted, rounded down, never below 0.
int RemainingPercent(int32_t life, int32_t sheets);

/// True when the share of a life left is at or below the percentage, in whole numbers (a ratio
/// read from a division would put 10 % of 100000 sheets on either side of the threshold).
bool IsAtOrBelowPercent(int32_t life, int32_t sheets, int percent);

/// A Unix time as RFC 3339 text in UTC, to the second ("2026-12-08T10:15:00Z").
std::string Rfc3339(long long unixSeconds);

/// What the formats say about the program itself, and how they are asked to judge and show it.
struct program_info {
    const char* cpName;
    const char* cpVersion;
    int iExitStatus;           // the exit status of the run, as the output reports it
    int iWarningPercent = 10;  // the plugin's WARNING at or below this share of a life left
    int iCriticalPercent = 0;  // and its CRITICAL
    bool bColour = false;      // the table may use colours (a terminal, NO_COLOR unset)
};
