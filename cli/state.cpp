// The run's session, its report view, and the globals that name the session's parts.
#include "cli/state.h"

device_session g_stSession;
// Made when the session opens, so that starting the tool runs no constructor and registers no
// destructor.
report_view* g_pReportView = nullptr;

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

void BuildRunReportView() {
    delete g_pReportView;
    g_pReportView = new report_view(BuildReportView(TakeSnapshot(g_stSession)));
}
