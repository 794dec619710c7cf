// The program driver.
#include "cli/driver.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "access/binding.h"
#include "access/device_list.h"
#include "cli/exit_codes.h"
#include "cli/help.h"
#include "cli/info.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/state.h"
#include "consumables/offsets.h"
#include "consumables/power.h"

int g_iErrCode = 0;

// The signals a terminal can send; none of them may end or suspend a run.
static const int kIgnoredSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP};

void SignalProcess(int signal) {
    (void)signal;
}

int TearDown(const velnor_command_info& record) {
    // The test is on the command's device name, the call passes the session's copy (maybe null).
    if (NeedsUnlock(record.cpDeviceName) && g_fcpkorwc_UnlockScanner != nullptr) {
        g_fcpkorwc_UnlockScanner(g_cpActiveScanner);
    }
    if (g_fcpexitlibrary != nullptr) {
        g_fcpexitlibrary();
    }
    if (g_fcpkorwc_EndExcusive != nullptr) {
        g_fcpkorwc_EndExcusive(record.cpDeviceName);
    }
    // The release calls above are the tool's own: the session only frees its copies.
    ForgetSession(&g_stSession);
    CloseLib();
    return g_iErrCode;
}

// One step of the apply phase: the request bits that call it, the operation, and what it changes
// in the words of the message that names the changes already made when a later one fails.
struct ChangeStep {
    uint32_t uiBits;
    bool (*pfnApply)(device_session* session, velnor_command_info record);
    const char* cpWhat;
};

// The fixed order of the changes: sleep timer, power-off, counters, then offsets in one write.
static const ChangeStep kChangeSteps[] = {
    {kRequestSleepTimer, SetPowerSaveTime, "sleep timer"},
    {kRequestPowerOff, SetPowerOffTime, "power-off time"},
    {kRequestClearCounters, ClearCounters, "counters"},
    {kRequestOffsets | kRequestAdfMagnification | kRequestFlatbedMagnification, SetOffsetData,
     "offsets"},
};

// A failed change does not undo the ones before it, so the owner is told which are in place.
static void ReportAppliedBeforeFailure(const std::string& applied) {
    if (!applied.empty()) {
        std::string message = FormatMessage("Applied before the failure: %s", applied.c_str());
        ShowErrMsg(nullptr, message.c_str());
    }
}

bool ApplyChanges(const velnor_command_info& record) {
    std::string applied;
    for (const ChangeStep& step : kChangeSteps) {
        if ((record.uiRequest & step.uiBits) == 0) {
            continue;
        }
        if (!step.pfnApply(&g_stSession, record)) {
            ReportAppliedBeforeFailure(applied);
            ShowErrMsg(nullptr, kMsgNotConnected);
            g_iErrCode = kExitNotConnected;
            return false;
        }
        applied += applied.empty() ? step.cpWhat : std::string(", ") + step.cpWhat;
    }
    ShowErrMsg(nullptr, kMsgSetSuccessfully);
    g_iErrCode = kExitSuccess;
    return true;
}

static uint32_t ChangeRequestBits() {
    uint32_t bits = 0;
    for (const ChangeStep& step : kChangeSteps) {
        bits |= step.uiBits;
    }
    return bits;
}

// Picks the device of the run: the -d value, which must be attached, or the first device.
static bool SelectDevice(int argc, char** argv, velnor_command_info& record) {
    bool carryOn = true;
    record.cpDeviceName = GetValidScannerName(argc, argv, &carryOn);
    if (!carryOn) {
        return false;
    }
    if (record.cpDeviceName != nullptr) {
        if (!IsValidScannerName(record.cpDeviceName)) {
            ShowErrMsg(nullptr, kMsgNotConnected);
            g_iErrCode = kExitNotConnected;
            return false;
        }
        return true;
    }
    record.cpDeviceName = g_fcpkorwc_GetDeviceName(0);
    return true;
}

// Carries out the common command that the parser met; each prints what it is for and ends the run.
static void RunCommonCommand(OptionKind command, velnor_command_info* record) {
    switch (command) {
        case OptionKind::kInfo:
            ShowInfo(record);
            break;
        case OptionKind::kListDevices:
            ShowScannerList();
            break;
        case OptionKind::kHelp:
            ShowHelpList(record);
            break;
        case OptionKind::kVersion:
            ShowVerInfo();
            break;
        default:
            break;
    }
}

void IgnoreTerminalSignals() {
    for (int signalNumber : kIgnoredSignals) {
        signal(signalNumber, SignalProcess);
    }
}

int RunWithLibraries(int argc, char** argv, velnor_command_info& record) {
    // Only a count of 0 means that no scanner is attached.
    if (g_fcpkorwc_GetDeviceTotalNum() == 0) {
        ShowErrMsg(nullptr, kMsgNotConnected);
        g_iErrCode = kExitNotConnected;
        return TearDown(record);
    }
    if (!SelectDevice(argc, argv, record)) {
        return TearDown(record);
    }
    bool finished = false;
    OptionKind command = OptionKind::kInfo;
    if (!ParseCommandLine(argc, argv, &record, &finished, &command)) {
        return TearDown(record);
    }
    if (finished) {
        RunCommonCommand(command, &record);
    } else if ((record.uiRequest & ChangeRequestBits()) != 0) {
        ApplyChanges(record);
    } else {
        ShowInfo(&record);
    }
    return TearDown(record);
}

int RunTool(int argc, char** argv) {
    IgnoreTerminalSignals();
    // A reader that went away makes the writes fail, which the end of the run reports, instead of
    // ending the run unreported after its change was made.
    signal(SIGPIPE, SIG_IGN);
    velnor_command_info record;
    std::memset(&record, 0, sizeof record);
    if (!OpenLib()) {
        ShowErrMsg(nullptr, kMsgLibraryMissing);
        g_iErrCode = kExitLibraryMissing;
        return TearDown(record);
    }
    return RunWithLibraries(argc, argv, record);
}
