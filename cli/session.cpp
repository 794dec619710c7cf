// The command line's session over the core's device session.
#include "cli/session.h"

#include <cstdio>

#include "capability/dispatch.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/state.h"

// Written straight to standard output, not as a message line; the run goes on.
static const char kFirmwareFetchError[] = " ERROR: Firmware Version 取得に失敗\n";

static void PrintFirmwareFetchErrors(int count) {
    for (int i = 0; i < count; ++i) {
        std::fputs(kFirmwareFetchError, stdout);
    }
}

static int FailSession(const char* message, int exitCode) {
    ShowErrMsg(nullptr, message);
    g_iErrCode = exitCode;
    return -1;
}

int OpenWithName(const char* name) {
    if (g_bOpened) {
        return 0;
    }
    SessionStatus status = OpenSession(&g_stSession, name);
    PrintFirmwareFetchErrors(g_stSession.stCapability.iFirmwareFetchFailures);
    switch (status) {
        case SessionStatus::kOpen:
            BuildRunReportView();
            return 0;
        case SessionStatus::kStateUnreadable:
            return FailSession(kMsgEepromUnreadable, kExitEepromUnreadable);
        case SessionStatus::kNotConnected:
            break;
    }
    return FailSession(kMsgNotConnected, kExitNotConnected);
}

void GetAvailableFunction(CDevSet2Builder* record) {
    capability_context* context = PrepareCapabilityContext(&g_stSession);
    int failuresBefore = context->iFirmwareFetchFailures;
    ArbitrateCapabilities(context, record);
    PrintFirmwareFetchErrors(context->iFirmwareFetchFailures - failuresBefore);
}
