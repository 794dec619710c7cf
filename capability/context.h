// What a capability rule is given about the scanner and what it leaves besides the record.
#pragma once

/// Length of the firmware-version buffers that the rules fill.
constexpr int kFirmwareTextSize = 16;

/// The scanner a rule runs for, and its results other than the capability record. Zero-initialise
/// it, then set the three texts.
struct capability_context {
    const char* cpDeviceName;   // passed to the firmware and inquiry calls; may be null
    const char* cpDesignation;  // the model designation that selects the rule; may be null
    const char* cpProfilePath;  // the launcher profile with the per-model switches
    char szTarvo3FirmVer[kFirmwareTextSize];   // firmware text left for the device-control library
    char szVelisa2FirmVer[kFirmwareTextSize];  // firmware text used inside the rules only
    int iFirmwareFetchFailures;                // firmware fetches the library refused
};
