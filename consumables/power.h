// Counter clearing and power settings of the open scanner.
#pragma once

#include "cli/command.h"

/// Resets the counters of uiClearMask, then writes the EEPROM. False when the write fails.
bool ClearCounters(velnor_command_info record);

/// Sets the sleep timer to iSleepMinutes (nothing sent when unchanged). False on a refusal.
bool SetPowerSaveTime(velnor_command_info record);

/// Sets or switches off the automatic power-off (nothing sent when unchanged). False on a refusal.
bool SetPowerOffTime(velnor_command_info record);
