// Per-model capability rules: each fills the capability record for one model family.
#pragma once

#include "capability/devset.h"

/// Firmware version (four characters) left for the device-control library by some rules.
extern char g_Tarvo3FirmVer[16];
/// Firmware version used only inside the rules of the ko-410/420/430 families.
extern char g_Velisa2FirmVer[16];
