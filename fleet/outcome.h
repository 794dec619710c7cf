// What one reading of the fleet found: how the enumeration ended and what each scanner gave.
#pragma once

#include <string>
#include <vector>

#include "consumables/report_view.h"

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

/// One scanner of the run.
struct scanner_outcome {
    std::string strDevice;  // the device name, made valid UTF-8
    ScannerStatus eStatus;
    double dSeconds;  // how long reading it took, to the microsecond
    std::vector<fleet_message> vMessages;
    report_view stReport;  // meaningful only when eStatus is kOk
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

/// What the formats say about the program itself.
struct program_info {
    const char* cpName;
    const char* cpVersion;
    int iExitStatus;  // the exit status of the run, as the output reports it
};
