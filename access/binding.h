// Loading the two service libraries and binding their 26 entry points to function-pointer globals.
#pragma once

#include "access/entry_points.h"

/// Handle of the device-watch library; null while not loaded.
extern void* g_pkorWatch;
/// Handle of the device-control library; null while not loaded.
extern void* g_pzevControl;

// One pointer per entry point, null until bound; nothing calls a library except through these.
// NOLINTNEXTLINE(bugprone-macro-parentheses): global is a declarator, which takes no parentheses
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) extern symbol##_fn* global;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT

/// Which library an entry point comes from.
enum class ServiceLibrary { kDeviceWatch, kDeviceControl };

/// One row of the binding table: the exported symbol and the global that receives it.
struct EntryPointBinding {
    ServiceLibrary library;
    const char* cpSymbol;
    void* pSlot;  // address of the function-pointer global
};

/// The entry points in binding order.
extern const EntryPointBinding g_stEntryPoints[kEntryPointCount];

/// Loads both libraries (each only if not loaded yet) and binds all entry points in table order.
/// Returns false at the first library or symbol that cannot be had; what was bound stays bound.
/// Prints nothing and stores no exit code.
bool OpenLib();

/// Closes whichever library handles are set and clears them; the pointers are left as they are.
void CloseLib();
