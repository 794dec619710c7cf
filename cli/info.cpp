// The information report of the run's scanner, printed from the core's report model.
#include "cli/info.h"

#include <cstdio>

#include "cli/session.h"
#include "cli/state.h"
#include "consumables/report.h"

void ShowInfo(velnor_command_info* record) {
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    RenderReportText(BuildReport(TakeSnapshot(g_stSession)), stdout);
}
