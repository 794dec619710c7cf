// The command line's single scanner session, its report view, and the run's globals that name
// the session's parts.
#pragma once

#include "consumables/report_view.h"
#include "session/session.h"

/// The session of the run, opened at most once by OpenWithName.
extern device_session g_stSession;
/// What the open session's scanner reports, built once by OpenWithName from the records it read
/// (null before); the parser, the help and the report all read it. Kept to the end of the run.
extern report_view* g_pReportView;

/// Builds g_pReportView from the session's records, in place of an earlier one.
void BuildRunReportView();

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
