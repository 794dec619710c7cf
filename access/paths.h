// The four fixed installation paths of the scanner software, with the build's root prefixed.
#pragma once

/// The device-watch library.
extern const char* g_cpKorWatchPath;
/// The device-control library.
extern const char* g_cpZevControlPath;
/// The settings file read through korwc_GetXMLSettings2.
extern const char* g_cpSettingsPath;
/// The launcher profile with the per-model switches.
extern const char* g_cpProfilePath;
