// The information report.
#include "consumables/report.h"

#include "access/session.h"

void ShowInfo(velnor_command_info* record) {
    if (OpenWithName(record->cpDeviceName) != 0) {
        return;
    }
    // TODO(consumables): the report lines.
}
