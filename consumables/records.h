// The scanner state records of the run.
#pragma once

#include "access/records.h"

/// Consumables information of the open scanner, as read when the session was opened.
extern ardosa_info g_ArdosaInfo;
/// Identification of the open scanner.
extern device_info g_velnor_device_info;
/// Offsets of the open scanner; the working copy that SetOffsetData changes and writes.
extern offset_data g_OffSetData;
/// The offsets as they were before the last change, written back when the device refuses one.
extern offset_data g_OffSetBackupData;
