// Counter clearing and power settings of an open scanner; all take the same arguments, so that a
// front end can hold them in one table.
#pragma once

#include "consumables/command.h"
#include "session/session.h"

/// Resets the counters of uiClearMask, then writes the EEPROM. False when the write fails.
bool ClearCounters(device_session* session, velnor_command_info record);

/// Sets the sleep timer to iSleepMinutes (nothing sent when unchanged). False on a refusal.
bool SetPowerSaveTime(device_session* session, velnor_command_info record);

/// Sets or switches off the automatic power-off (nothing sent when unchanged). False on a refusal.
bool SetPowerOffTime(device_session* session, velnor_command_info record);
