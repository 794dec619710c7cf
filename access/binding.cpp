// Binds the service libraries' entry points by their exported names, in one table-driven loop.
#include "access/binding.h"

#include <dlfcn.h>

#include <cstring>

#include "access/paths.h"

void* g_pkorWatch = nullptr;
void* g_pzevControl = nullptr;

// NOLINTNEXTLINE(bugprone-macro-parentheses): global is a declarator, which takes no parentheses
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) symbol##_fn* global = nullptr;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT

const EntryPointBinding g_stEntryPoints[kEntryPointCount] = {
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) \
    {ServiceLibrary::library, #symbol, &(global)},
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
};

static void LoadLibraryOnce(void** handle, const char* path) {
    if (*handle == nullptr) {
        *handle = dlopen(path, RTLD_LAZY);
    }
}

bool OpenLib() {
    // Both loads are attempted, so a failed start may leave one library loaded for the teardown.
    LoadLibraryOnce(&g_pkorWatch, g_cpKorWatchPath);
    LoadLibraryOnce(&g_pzevControl, g_cpZevControlPath);
    if (g_pkorWatch == nullptr || g_pzevControl == nullptr) {
        return false;
    }
    for (const EntryPointBinding& entry : g_stEntryPoints) {
        void* handle = entry.library == ServiceLibrary::kDeviceWatch ? g_pkorWatch : g_pzevControl;
        void* symbol = dlsym(handle, entry.cpSymbol);
        // The globals are function pointers; POSIX guarantees a data pointer from dlsym converts.
        std::memcpy(entry.pSlot, &symbol, sizeof symbol);
        if (symbol == nullptr) {
            return false;
        }
    }
    return true;
}

void CloseLib() {
    if (g_pkorWatch != nullptr) {
        dlclose(g_pkorWatch);
        g_pkorWatch = nullptr;
    }
    if (g_pzevControl != nullptr) {
        dlclose(g_pzevControl);
        g_pzevControl = nullptr;
    }
}
