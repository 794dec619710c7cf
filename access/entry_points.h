// The contract of the 26 entry points of the two service libraries, shared by the tool and the
// simulated scanner service so that a changed signature breaks the build instead of a run.
#pragma once

#include "access/records.h"

// Results are 32-bit signed integers. Where a result is a truth value, only its lowest byte counts
// (see IsLibraryTrue).
extern "C" {
// Device-watch library (libkorwatch.so)
typedef int korwc_GetDeviceTotalNum_fn();
typedef const char* korwc_GetDeviceName_fn(int index);
typedef int korwc_StartExcusive_fn(const char* deviceName);
typedef int korwc_EndExcusive_fn(const char* deviceName);
typedef int korwc_Open_fn(const char* deviceName);
typedef int korwc_Close_fn(const char* deviceName);
typedef int korwc_GetFirmVersion_fn(const char* deviceName, char* buffer, int size);
typedef int korwc_InquiryVPD_fn(const char* deviceName, unsigned char* buffer, int length, int flags);
typedef const char* korwc_GetXMLSettings2_fn(const char* key, const char* defaultText,
                                             const char* path);
typedef int korwc_GetLastErrorInfo_fn();
typedef int korwc_UnlockScanner_fn(const char* deviceName);

// Device-control library (libzevcontrol.so)
typedef int initlibrary_fn(const char* deviceName, int flags);
typedef int exitlibrary_fn();
typedef int SetFirmVersion_fn(const char* firmVersion);
typedef int GetArdosaInfo_fn(ardosa_info* info);
typedef int OnInitDialog_fn(device_info* info);
typedef int GetEEPROMData_fn();
typedef int SetPowerOffTime_fn(int value);
typedef int ModeSelect_LongTimer_fn(const char* deviceName, unsigned short* minutes);
typedef int SetPowerSavingEEPROM_fn(int minutes);
typedef int OnResetAfterCleaning_fn();
typedef int OnResetBrake_fn();
typedef int OnResetPick_fn();
typedef int SetEEPROMData_fn();
typedef int GetOffSetData_fn(offset_data* data);
typedef int SetOffSetData_fn(offset_data* data);
}

/// The last error code that means: not connected, or in use by another application.
constexpr int kLastErrorNotConnected = 14;

/// SetEEPROMData reports failure with this value only; any other value is success.
constexpr int kEepromWriteFailed = -1;

/// True when a truth-value result of the device-watch library says yes: only its lowest byte counts.
inline bool IsLibraryTrue(int result) {
    return (result & 0xFF) != 0;
}
