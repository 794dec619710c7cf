// The contract of the two service libraries' entry points (listed in entry_points.def), shared by
// the tool and the simulated scanner service so that a changed signature breaks the build instead
// of a run.
#pragma once

#include <cstddef>

#include "access/records.h"

// Results are 32-bit signed integers. Where a result is a truth value, only its lowest byte counts
// (see IsLibraryTrue).
extern "C" {
// One function type per entry point, e.g. korwc_GetDeviceTotalNum_fn.
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) \
    typedef result symbol##_fn params;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
}

// One byte per entry point, so that its size counts them.
struct EntryPointCounter {
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) char symbol;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
};

/// The number of entry points: one per line of the list.
constexpr size_t kEntryPointCount = sizeof(EntryPointCounter);

/// The last error code that means: not connected, or in use by another application.
constexpr int kLastErrorNotConnected = 14;

/// SetEEPROMData reports failure with this value only; any other value is success.
constexpr int kEepromWriteFailed = -1;

/// True when a truth-value result of the device-watch library says yes: only its lowest byte
/// counts.
inline bool IsLibraryTrue(int result) {
    return (result & 0xFF) != 0;
}
