// The 26 functions the two stand-in libraries export, declared with the contract's types so that
// a changed signature breaks the build; the linker version scripts export these and nothing else.
#pragma once

#include "access/entry_points.h"

extern "C" {
// libkorwatch.so (watch.cpp)
korwc_GetDeviceTotalNum_fn korwc_GetDeviceTotalNum;
korwc_GetDeviceName_fn korwc_GetDeviceName;
korwc_StartExcusive_fn korwc_StartExcusive;
korwc_EndExcusive_fn korwc_EndExcusive;
korwc_Open_fn korwc_Open;
korwc_Close_fn korwc_Close;
korwc_GetFirmVersion_fn korwc_GetFirmVersion;
korwc_InquiryVPD_fn korwc_InquiryVPD;
korwc_GetXMLSettings2_fn korwc_GetXMLSettings2;
korwc_GetLastErrorInfo_fn korwc_GetLastErrorInfo;
korwc_UnlockScanner_fn korwc_UnlockScanner;

// libzevcontrol.so (control.cpp)
initlibrary_fn initlibrary;
exitlibrary_fn exitlibrary;
SetFirmVersion_fn SetFirmVersion;
GetArdosaInfo_fn GetArdosaInfo;
OnInitDialog_fn OnInitDialog;
GetEEPROMData_fn GetEEPROMData;
SetPowerOffTime_fn SetPowerOffTime;
ModeSelect_LongTimer_fn ModeSelect_LongTimer;
SetPowerSavingEEPROM_fn SetPowerSavingEEPROM;
OnResetAfterCleaning_fn OnResetAfterCleaning;
OnResetBrake_fn OnResetBrake;
OnResetPick_fn OnResetPick;
SetEEPROMData_fn SetEEPROMData;
GetOffSetData_fn GetOffSetData;
SetOffSetData_fn SetOffSetData;
}
