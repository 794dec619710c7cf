// The scanner state records of the run, filled by the device-control library when the session opens.
#include "consumables/records.h"

ardosa_info g_ArdosaInfo;
device_info g_velnor_device_info;
offset_data g_OffSetData;
offset_data g_OffSetBackupData;
