// The information report of the run's scanner, printed from the run's report view.
#include "cli/info.h"

#include <cstdio>

#include "cli/session.h"
#include "cli/state.h"

void ShowInfo(velnor_command_info* record) {
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    RenderReportText(*g_pReportView, stdout);
}
