// Opens a device session: exclusive access, boot-mode refusal, library initialisation, the
// capability record and the three state records; and undoes exactly that.
#include "session/session.h"

#include <cstdlib>
#include <cstring>

#include "access/binding.h"
#include "access/names.h"
#include "access/paths.h"
#include "capability/dispatch.h"

// Models that must not be opened while their firmware is in boot mode.
static const char* const kBootModeModels[] = {"ko-550", "ko-650", "ko-540", "ko-640"};
static const char kBootModeVersion[] = "0100";

// Device names for which the device-watch library must unlock the scanner at the end.
static const char* const kUnlockModels[] = {"VX-901R", "VX-905R", "VX-913R"};

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

bool NeedsUnlock(const char* deviceName) {
    return IsOneOfNames(deviceName, kUnlockModels);
}

bool IsBootMode(const char* deviceName) {
    // One spare byte keeps the text terminated whatever the library does.
    char version[kFirmwareTextSize + 1] = {};
    if (!IsLibraryTrue(g_fcpkorwc_GetFirmVersion(deviceName, version, kFirmwareTextSize))) {
        return false;
    }
    version[4] = '\0';
    return std::strcmp(version, kBootModeVersion) < 0;
}

static bool ReadStateRecords(device_session* session) {
    std::memset(&session->stArdosaInfo, 0, sizeof session->stArdosaInfo);
    if (g_fcpGetArdosaInfo(&session->stArdosaInfo) == 0) {
        return false;
    }
    std::memset(&session->stDeviceInfo, 0, sizeof session->stDeviceInfo);
    if (g_fcpOnInitDialog(&session->stDeviceInfo) == 0) {
        return false;
    }
    return g_fcpGetEEPROMData() != 0;
}

// The state records could not be read: the last error tells a busy scanner from a bad one.
static SessionStatus StateReadFailure() {
    if (g_fcpkorwc_GetLastErrorInfo() == kLastErrorNotConnected) {
        return SessionStatus::kNotConnected;
    }
    return SessionStatus::kStateUnreadable;
}

capability_context* PrepareCapabilityContext(device_session* session) {
    capability_context& context = session->stCapability;
    context.cpDeviceName = session->cpActiveScanner;
    context.cpDesignation = session->cpActiveScannerName;
    context.cpProfilePath = g_cpProfilePath;
    return &context;
}

// The capability rule of the model, then the firmware text it left for the control library.
static void ArbitrateAndPassFirmware(device_session* session) {
    capability_context* context = PrepareCapabilityContext(session);
    ArbitrateCapabilities(context, &session->stDevFunc);
    g_fcpSetFirmVersion(context->szTarvo3FirmVer);
}

SessionStatus OpenSession(device_session* session, const char* name) {
    if (session->bOpened) {
        return SessionStatus::kOpen;
    }
    // What a failed open left behind is released first, so that it never reaches this device.
    CloseSession(session);
    if (name == nullptr || g_fcpkorwc_StartExcusive(name) == 0) {
        return SessionStatus::kNotConnected;
    }
    char* device = strdup(name);
    char* designation = device != nullptr ? CopyModelDesignation(device) : nullptr;
    session->bClaimed = true;
    session->cpActiveScanner = device;
    session->cpActiveScannerName = designation;
    if (IsOneOfNames(designation, kBootModeModels) && IsBootMode(device)) {
        return SessionStatus::kNotConnected;
    }
    g_fcpinitlibrary(device, 0);
    session->bInitialised = true;
    ArbitrateAndPassFirmware(session);
    if (!ReadStateRecords(session)) {
        return StateReadFailure();
    }
    g_fcpGetOffSetData(&session->stOffSetData);
    session->stOffSetBackupData = session->stOffSetData;
    session->bOpened = true;
    return SessionStatus::kOpen;
}

void CloseSession(device_session* session) {
    if (session->bClaimed) {
        const char* name = session->cpActiveScanner;
        if (NeedsUnlock(name)) {
            g_fcpkorwc_UnlockScanner(name);
        }
        if (session->bInitialised) {
            g_fcpexitlibrary();
        }
        g_fcpkorwc_EndExcusive(name);
    }
    ForgetSession(session);
}

void ForgetSession(device_session* session) {
    free(session->cpActiveScanner);
    free(session->cpActiveScannerName);
    *session = device_session{};
}

device_snapshot TakeSnapshot(const device_session& session) {
    return {session.stArdosaInfo, session.stDeviceInfo, session.stOffSetData};
}
