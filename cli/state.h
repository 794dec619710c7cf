// The command line's single scanner session and the run's globals that name its parts.
#pragma once

#include "session/session.h"

/// The session of the run, opened at most once by OpenWithName.
extern device_session g_stSession;

/// True once OpenWithName has completed; never reset during the run.
extern bool& g_bOpened;
/// Heap copy of the device name the session was opened with; freed at teardown.
extern char*& g_cpActiveScanner;
/// Heap copy of the model designation (the first non-empty ":" field of the name); may be null.
extern char*& g_cpActiveScannerName;
/// The capability record of the run, cleared and refilled when the session opens.
extern CDevSet2Builder& g_DevFunc;
/// Firmware version (four characters) left for the device-control library by some rules.
extern char (&g_Tarvo3FirmVer)[kFirmwareTextSize];
/// Firmware version used only inside the rules of the ko-410/420/430 families.
extern char (&g_Velisa2FirmVer)[kFirmwareTextSize];
/// Consumables information of the open scanner, as read when the session was opened.
extern ardosa_info& g_ArdosaInfo;
/// Identification of the open scanner.
extern device_info& g_velnor_device_info;
/// Offsets of the open scanner; the working copy that SetOffsetData changes and writes.
extern offset_data& g_OffSetData;
/// The offsets as they were before the last change, written back when the device refuses one.
extern offset_data& g_OffSetBackupData;
