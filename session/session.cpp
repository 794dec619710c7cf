// Opens the device session: exclusive access, boot-mode refusal, library initialisation, the
// capability record and the three state records.
#include "access/session.h"

#include <cstdlib>
#include <cstring>

#include "access/binding.h"
#include "access/names.h"
#include "capability/dispatch.h"
#include "capability/rules.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "consumables/records.h"

bool g_bOpened = false;
char* g_cpActiveScanner = nullptr;
char* g_cpActiveScannerName = nullptr;

// Models that must not be opened while their firmware is in boot mode.
static const char* const kBootModeModels[] = {"ko-550", "ko-650", "ko-540", "ko-640"};
static const char kBootModeVersion[] = "0100";

char* CopyModelDesignation(const char* deviceName) {
    const char* start = deviceName;
    while (*start == ':') {
        ++start;
    }
    if (*start == '\0') {
        return nullptr;
    }
    return strndup(start, std::strcspn(start, ":"));
}

static int FailSession(const char* message, int exitCode) {
    ShowErrMsg(nullptr, message);
    g_iErrCode = exitCode;
    return -1;
}

// The state records could not be read: the last error tells a busy scanner from a bad one.
static int FailReadingState() {
    if (g_fcpkorwc_GetLastErrorInfo() == kLastErrorNotConnected) {
        return FailSession(kMsgNotConnected, kExitNotConnected);
    }
    return FailSession(kMsgEepromUnreadable, kExitEepromUnreadable);
}

static bool ReadStateRecords() {
    std::memset(&g_ArdosaInfo, 0, sizeof g_ArdosaInfo);
    if (g_fcpGetArdosaInfo(&g_ArdosaInfo) == 0) {
        return false;
    }
    std::memset(&g_velnor_device_info, 0, sizeof g_velnor_device_info);
    if (g_fcpOnInitDialog(&g_velnor_device_info) == 0) {
        return false;
    }
    return g_fcpGetEEPROMData() != 0;
}

int OpenWithName(const char* name) {
    if (g_bOpened) {
        return 0;
    }
    if (name == nullptr || g_fcpkorwc_StartExcusive(name) == 0) {
        return FailSession(kMsgNotConnected, kExitNotConnected);
    }
    // An earlier attempt in this run may have made the copies already; they are kept.
    if (g_cpActiveScanner == nullptr) {
        g_cpActiveScanner = strdup(name);
    }
    if (g_cpActiveScannerName == nullptr && g_cpActiveScanner != nullptr) {
        g_cpActiveScannerName = CopyModelDesignation(g_cpActiveScanner);
    }
    if (g_cpActiveScannerName != nullptr && IsOneOfNames(g_cpActiveScannerName, kBootModeModels) &&
        IsBootMode()) {
        return FailSession(kMsgNotConnected, kExitNotConnected);
    }
    g_fcpinitlibrary(g_cpActiveScanner, 0);
    GetAvailableFunction(&g_DevFunc);
    g_fcpSetFirmVersion(g_Tarvo3FirmVer);
    if (!ReadStateRecords()) {
        return FailReadingState();
    }
    g_fcpGetOffSetData(&g_OffSetData);
    g_OffSetBackupData = g_OffSetData;
    g_bOpened = true;
    return 0;
}

bool IsBootMode() {
    char version[16 + 1] =
        {};  // one spare byte keeps the text terminated whatever the library does
    if (!IsLibraryTrue(g_fcpkorwc_GetFirmVersion(g_cpActiveScanner, version, 16))) {
        return false;
    }
    version[4] = '\0';
    return std::strcmp(version, kBootModeVersion) < 0;
}

bool IsValidScannerName(const char* name) {
    if (name == nullptr) {
        return false;
    }
    int count = g_fcpkorwc_GetDeviceTotalNum();
    for (int index = 0; index < count; ++index) {
        const char* attached = g_fcpkorwc_GetDeviceName(index);
        if (attached != nullptr && std::strcmp(name, attached) == 0) {
            return true;
        }
    }
    return false;
}
