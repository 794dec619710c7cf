// The run's session and the globals that name its parts.
#include "cli/state.h"

device_session g_stSession;

bool& g_bOpened = g_stSession.bOpened;
char*& g_cpActiveScanner = g_stSession.cpActiveScanner;
char*& g_cpActiveScannerName = g_stSession.cpActiveScannerName;
CDevSet2Builder& g_DevFunc = g_stSession.stDevFunc;
char (&g_Tarvo3FirmVer)[kFirmwareTextSize] = g_stSession.stCapability.szTarvo3FirmVer;
char (&g_Velisa2FirmVer)[kFirmwareTextSize] = g_stSession.stCapability.szVelisa2FirmVer;
ardosa_info& g_ArdosaInfo = g_stSession.stArdosaInfo;
device_info& g_velnor_device_info = g_stSession.stDeviceInfo;
offset_data& g_OffSetData = g_stSession.stOffSetData;
offset_data& g_OffSetBackupData = g_stSession.stOffSetBackupData;
