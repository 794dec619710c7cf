// Model dispatch table and its walk.
#include "capability/dispatch.h"

#include <cstring>

#include "access/session.h"
#include "capability/rules.h"

void GetAvailableFunction(CDevSet2Builder* record) {
    std::memset(record, 0, sizeof *record);
    if (g_cpActiveScannerName != nullptr) {
        FunctionArbitratorFactory(g_cpActiveScannerName, record);
    }
}

void FunctionArbitratorFactory(const char* name, CDevSet2Builder* record) {
    // TODO(capability): the 59-row dispatch table.
    (void)name;
    (void)record;
}
