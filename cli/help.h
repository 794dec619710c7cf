// Help, version and device-list output.
#pragma once

#include "consumables/command.h"

/// Prints the help: the common part, then (once the session opens) the options this scanner
/// offers and the device list. Uses only the record's cpDeviceName.
void ShowHelpList(velnor_command_info* record);

/// Prints the version text from the settings file.
void ShowVerInfo();

/// Prints the list of attached devices.
void ShowScannerList();
