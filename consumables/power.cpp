// Counter clearing and power settings.
#include "consumables/power.h"

bool ClearCounters(velnor_command_info record) {
    (void)record;
    return false;  // TODO(consumables)
}

bool SetPowerSaveTime(velnor_command_info record) {
    (void)record;
    return false;  // TODO(consumables)
}

bool SetPowerOffTime(velnor_command_info record) {
    (void)record;
    return false;  // TODO(consumables)
}
