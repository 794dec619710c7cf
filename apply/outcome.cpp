// The questions that the formats and the driver ask of a run.
#include "apply/outcome.h"

#include <iterator>

// ApplyStatusRowOf indexes the table by the status.
static constexpr bool RowsInStatusOrder() {
    for (size_t i = 0; i < std::size(kApplyStatuses); ++i) {
        if (static_cast<size_t>(kApplyStatuses[i].eStatus) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInStatusOrder(), "kApplyStatuses is in the order of ApplyStatus");

const apply_status_row& ApplyStatusRowOf(ApplyStatus status) {
    return kApplyStatuses[static_cast<size_t>(status)];
}

const char* SettingUnit(PolicySetting setting) {
    return setting == PolicySetting::kSleepTimer ? " minutes" : "";
}

int ApplyExitStatus(const apply_run& run) {
    bool failed = run.eEnumeration != EnumerationStatus::kOk;
    bool differs = false;
    for (const apply_scanner& scanner : run.vScanners) {
        failed = failed || ApplyStatusRowOf(scanner.eStatus).bFailure;
        differs = differs || scanner.eStatus == ApplyStatus::kWouldChange;
    }
    return failed ? kExitFailed : differs ? kExitWouldChange : kExitCompliant;
}

bool AnyChanged(const apply_run& run) {
    for (const apply_scanner& scanner : run.vScanners) {
        for (const setting_change& change : scanner.vChanges) {
            if (change.oApplied.value_or(false)) {
                return true;
            }
        }
    }
    return false;
}
