// The device session: one scanner claimed, initialised and read for the whole run.
#pragma once

/// True once OpenWithName has completed; never reset during the run.
extern bool g_bOpened;
/// Heap copy of the device name the session was opened with; freed at teardown.
extern char* g_cpActiveScanner;
/// Heap copy of the model designation (the first non-empty ":" field of the name); may be null.
extern char* g_cpActiveScannerName;

/// Opens the session on the named device: claim, boot-mode check, initialisation, capability
/// record, firmware text, then the three state records. Returns 0 when open (also when it already
/// was); -1 after printing the failure message and storing exit code 6 or 7.
int OpenWithName(const char* name);

/// True when the active device reports a firmware version below "0100" (first four characters).
bool IsBootMode();

/// True when the name equals one of the attached devices' names exactly.
bool IsValidScannerName(const char* name);

/// The model designation of a device name: its first non-empty ":"-separated field, as a new heap
/// text (free with free); null when the name has no non-empty field.
char* CopyModelDesignation(const char* deviceName);
