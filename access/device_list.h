// The attached devices, as the device-watch library enumerates them.
#pragma once

#include <string>
#include <vector>

/// The names of the attached devices in enumeration order; a name the library does not give is
/// empty. The count is asked again before every index, as the library expects. Prints nothing.
std::vector<std::string> ListDeviceNames();

/// True when the name equals one of the attached devices' names exactly.
bool IsValidScannerName(const char* name);
