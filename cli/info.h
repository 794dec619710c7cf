// The information report of the run's scanner.
#pragma once

#include "consumables/command.h"

/// Opens the session if needed and prints the report; prints nothing when the session fails.
/// Uses only the record's cpDeviceName.
void ShowInfo(velnor_command_info* record);
