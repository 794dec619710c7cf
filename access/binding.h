// Loading the two service libraries and binding their 26 entry points to function-pointer globals.
#pragma once

#include "access/entry_points.h"

/// Handle of the device-watch library; null while not loaded.
extern void* g_pkorWatch;
/// Handle of the device-control library; null while not loaded.
extern void* g_pzevControl;

// One pointer per entry point, null until bound; nothing calls a library except through these.
extern korwc_GetDeviceTotalNum_fn* g_fcpkorwc_GetDeviceTotalNum;
extern korwc_GetDeviceName_fn* g_fcpkorwc_GetDeviceName;
extern korwc_StartExcusive_fn* g_fcpkorwc_StartExcusive;
extern korwc_EndExcusive_fn* g_fcpkorwc_EndExcusive;
extern korwc_Open_fn* g_fcpkorwc_Open;
extern korwc_Close_fn* g_fcpkorwc_Close;
extern korwc_GetFirmVersion_fn* g_fcpkorwc_GetFirmVersion;
extern korwc_InquiryVPD_fn* g_fcpkorwc_InquiryVPD;
extern korwc_GetXMLSettings2_fn* g_fcpkorwc_GetXMLSettings2;
extern korwc_GetLastErrorInfo_fn* g_fcpkorwc_GetLastErrorInfo;
extern korwc_UnlockScanner_fn* g_fcpkorwc_UnlockScanner;
extern initlibrary_fn* g_fcpinitlibrary;
extern exitlibrary_fn* g_fcpexitlibrary;
extern SetFirmVersion_fn* g_fcpSetFirmVersion;
extern GetArdosaInfo_fn* g_fcpGetArdosaInfo;
extern OnInitDialog_fn* g_fcpOnInitDialog;
extern GetEEPROMData_fn* g_fcpGetEEPROMData;
extern SetPowerOffTime_fn* g_fcpSetPowerOffTime;
extern ModeSelect_LongTimer_fn* g_fcpModeSelect_LongTimer;
extern SetPowerSavingEEPROM_fn* g_fcpPowerSaving;
extern OnResetAfterCleaning_fn* g_fcpResetAfterCleaning;
extern OnResetBrake_fn* g_fcpResetBrake;
extern OnResetPick_fn* g_fcpResetPick;
extern SetEEPROMData_fn* g_fcpSetEepromData;
extern GetOffSetData_fn* g_fcpGetOffSetData;
extern SetOffSetData_fn* g_fcpSetOffSetData;

/// Which library an entry point comes from.
enum class ServiceLibrary { kDeviceWatch, kDeviceControl };

/// One row of the binding table: the exported symbol and the global that receives it.
struct EntryPointBinding {
    ServiceLibrary library;
    const char* cpSymbol;
    void* pSlot;  // address of the function-pointer global
};

/// The 26 entry points in binding order.
extern const EntryPointBinding g_stEntryPoints[26];

/// Loads both libraries (each only if not loaded yet) and binds all entry points in table order.
/// Returns false at the first library or symbol that cannot be had; what was bound stays bound.
/// Prints nothing and stores no exit code.
bool OpenLib();

/// Closes whichever library handles are set and clears them; the pointers are left as they are.
void CloseLib();
