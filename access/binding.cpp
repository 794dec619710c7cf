// Binds the service libraries' entry points by their exported names, in one table-driven loop.
#include "access/binding.h"

#include <dlfcn.h>

#include <cstring>

#include "access/paths.h"

void* g_pkorWatch = nullptr;
void* g_pzevControl = nullptr;

korwc_GetDeviceTotalNum_fn* g_fcpkorwc_GetDeviceTotalNum = nullptr;
korwc_GetDeviceName_fn* g_fcpkorwc_GetDeviceName = nullptr;
korwc_StartExcusive_fn* g_fcpkorwc_StartExcusive = nullptr;
korwc_EndExcusive_fn* g_fcpkorwc_EndExcusive = nullptr;
korwc_Open_fn* g_fcpkorwc_Open = nullptr;
korwc_Close_fn* g_fcpkorwc_Close = nullptr;
korwc_GetFirmVersion_fn* g_fcpkorwc_GetFirmVersion = nullptr;
korwc_InquiryVPD_fn* g_fcpkorwc_InquiryVPD = nullptr;
korwc_GetXMLSettings2_fn* g_fcpkorwc_GetXMLSettings2 = nullptr;
korwc_GetLastErrorInfo_fn* g_fcpkorwc_GetLastErrorInfo = nullptr;
korwc_UnlockScanner_fn* g_fcpkorwc_UnlockScanner = nullptr;
initlibrary_fn* g_fcpinitlibrary = nullptr;
exitlibrary_fn* g_fcpexitlibrary = nullptr;
SetFirmVersion_fn* g_fcpSetFirmVersion = nullptr;
GetArdosaInfo_fn* g_fcpGetArdosaInfo = nullptr;
OnInitDialog_fn* g_fcpOnInitDialog = nullptr;
GetEEPROMData_fn* g_fcpGetEEPROMData = nullptr;
SetPowerOffTime_fn* g_fcpSetPowerOffTime = nullptr;
ModeSelect_LongTimer_fn* g_fcpModeSelect_LongTimer = nullptr;
SetPowerSavingEEPROM_fn* g_fcpPowerSaving = nullptr;
OnResetAfterCleaning_fn* g_fcpResetAfterCleaning = nullptr;
OnResetBrake_fn* g_fcpResetBrake = nullptr;
OnResetPick_fn* g_fcpResetPick = nullptr;
SetEEPROMData_fn* g_fcpSetEepromData = nullptr;
GetOffSetData_fn* g_fcpGetOffSetData = nullptr;
SetOffSetData_fn* g_fcpSetOffSetData = nullptr;

// Columns: library, exported symbol (character for character, "Excusive" included), global.
const EntryPointBinding g_stEntryPoints[26] = {
    {ServiceLibrary::kDeviceWatch, "korwc_GetDeviceTotalNum", &g_fcpkorwc_GetDeviceTotalNum},
    {ServiceLibrary::kDeviceWatch, "korwc_GetDeviceName", &g_fcpkorwc_GetDeviceName},
    {ServiceLibrary::kDeviceWatch, "korwc_StartExcusive", &g_fcpkorwc_StartExcusive},
    {ServiceLibrary::kDeviceWatch, "korwc_EndExcusive", &g_fcpkorwc_EndExcusive},
    {ServiceLibrary::kDeviceWatch, "korwc_Open", &g_fcpkorwc_Open},
    {ServiceLibrary::kDeviceWatch, "korwc_Close", &g_fcpkorwc_Close},
    {ServiceLibrary::kDeviceWatch, "korwc_GetFirmVersion", &g_fcpkorwc_GetFirmVersion},
    {ServiceLibrary::kDeviceWatch, "korwc_InquiryVPD", &g_fcpkorwc_InquiryVPD},
    {ServiceLibrary::kDeviceWatch, "korwc_GetXMLSettings2", &g_fcpkorwc_GetXMLSettings2},
    {ServiceLibrary::kDeviceWatch, "korwc_GetLastErrorInfo", &g_fcpkorwc_GetLastErrorInfo},
    {ServiceLibrary::kDeviceWatch, "korwc_UnlockScanner", &g_fcpkorwc_UnlockScanner},
    {ServiceLibrary::kDeviceControl, "initlibrary", &g_fcpinitlibrary},
    {ServiceLibrary::kDeviceControl, "exitlibrary", &g_fcpexitlibrary},
    {ServiceLibrary::kDeviceControl, "SetFirmVersion", &g_fcpSetFirmVersion},
    {ServiceLibrary::kDeviceControl, "GetArdosaInfo", &g_fcpGetArdosaInfo},
    {ServiceLibrary::kDeviceControl, "OnInitDialog", &g_fcpOnInitDialog},
    {ServiceLibrary::kDeviceControl, "GetEEPROMData", &g_fcpGetEEPROMData},
    {ServiceLibrary::kDeviceControl, "SetPowerOffTime", &g_fcpSetPowerOffTime},
    {ServiceLibrary::kDeviceControl, "ModeSelect_LongTimer", &g_fcpModeSelect_LongTimer},
    {ServiceLibrary::kDeviceControl, "SetPowerSavingEEPROM", &g_fcpPowerSaving},
    {ServiceLibrary::kDeviceControl, "OnResetAfterCleaning", &g_fcpResetAfterCleaning},
    {ServiceLibrary::kDeviceControl, "OnResetBrake", &g_fcpResetBrake},
    {ServiceLibrary::kDeviceControl, "OnResetPick", &g_fcpResetPick},
    {ServiceLibrary::kDeviceControl, "SetEEPROMData", &g_fcpSetEepromData},
    {ServiceLibrary::kDeviceControl, "GetOffSetData", &g_fcpGetOffSetData},
    {ServiceLibrary::kDeviceControl, "SetOffSetData", &g_fcpSetOffSetData},
};

static void LoadLibraryOnce(void** handle, const char* path) {
    if (*handle == nullptr) {
        *handle = dlopen(path, RTLD_LAZY);
    }
}

bool OpenLib() {
    // Both loads are attempted, so a failed start may leave one library loaded for the teardown.
    LoadLibraryOnce(&g_pkorWatch, g_cpKorWatchPath);
    LoadLibraryOnce(&g_pzevControl, g_cpZevControlPath);
    if (g_pkorWatch == nullptr || g_pzevControl == nullptr) {
        return false;
    }
    for (const EntryPointBinding& entry : g_stEntryPoints) {
        void* handle = entry.library == ServiceLibrary::kDeviceWatch ? g_pkorWatch : g_pzevControl;
        void* symbol = dlsym(handle, entry.cpSymbol);
        // The globals are function pointers; POSIX guarantees a data pointer from dlsym converts.
        std::memcpy(entry.pSlot, &symbol, sizeof symbol);
        if (symbol == nullptr) {
            return false;
        }
    }
    return true;
}

void CloseLib() {
    if (g_pkorWatch != nullptr) {
        dlclose(g_pkorWatch);
        g_pkorWatch = nullptr;
    }
    if (g_pzevControl != nullptr) {
        dlclose(g_pzevControl);
        g_pzevControl = nullptr;
    }
}
