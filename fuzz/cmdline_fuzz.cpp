// Fuzz target: fuzzed argument vectors through the three scans of the command line, on a fuzzed
// scanner behind in-process fakes of the entry points. The run stops where the driver would apply
// the changes, so nothing here can end the process.
#include <fuzzer/FuzzedDataProvider.h>
#include <getopt.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "access/binding.h"
#include "access/device_list.h"
#include "access/paths.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/state.h"
#include "consumables/command.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/fake_service.h"
#include "tests/support/tool_state.h"

namespace {

constexpr size_t kMaxWords = 24;
constexpr size_t kMaxWordLength = 300;
constexpr int kMinutesPerStep = 5;

// Attached devices the fakes may report: known models of several rules, and odd names; then
// every other designation of the dispatch table, and the models refused in boot mode.
const char* const kDeviceNames[] = {
    "ko-330xs:FAKE0001",
    "ko-550xs:FAKE0002",
    "VX-905R:FAKE0003",
    "Ko-150xs",
    "ko-230WMBxs:X",
    "::ko-440xs:",
    "",
    ":",
    "VX52:Y",
    "ko-90G",
    "Ko-160xs:FAKE",
    "Ko-410Hxs:FAKE",
    "Ko-430Hxs:FAKE",
    "Ko-440xs:FAKE",
    "R800:FAKE",
    "VX-708:FAKE",
    "VX63:FAKE",
    "VX63G:FAKE",
    "ko-110xs:FAKE",
    "ko-120K2xs:FAKE",
    "ko-130xs:FAKE",
    "ko-140xs:FAKE",
    "ko-210xs:FAKE",
    "ko-215WMBxs:FAKE",
    "ko-220WMBxs:FAKE",
    "ko-220xs:FAKE",
    "ko-225Exs:FAKE",
    "ko-225WMBxs:FAKE",
    "ko-225Wxs:FAKE",
    "ko-225xs:FAKE",
    "ko-227WMBxs:FAKE",
    "ko-230Wxs:FAKE",
    "ko-230xs:FAKE",
    "ko-315WMBxs:FAKE",
    "ko-320WMBxs:FAKE",
    "ko-320xs:FAKE",
    "ko-325Exs:FAKE",
    "ko-325WMBxs:FAKE",
    "ko-325Wxs:FAKE",
    "ko-325xs:FAKE",
    "ko-327WMBxs:FAKE",
    "ko-330WMBxs:FAKE",
    "ko-330Wxs:FAKE",
    "ko-410xs:FAKE",
    "ko-420xs:FAKE",
    "ko-430xs:FAKE",
    "ko-510:FAKE",
    "ko-515:FAKE",
    "ko-520:FAKE",
    "ko-525:FAKE",
    "ko-527:FAKE",
    "ko-530:FAKE",
    "ko-540xs:FAKE",
    "ko-615:FAKE",
    "ko-620:FAKE",
    "ko-625:FAKE",
    "ko-627:FAKE",
    "ko-630:FAKE",
    "ko-640xs:FAKE",
    "ko-650xs:FAKE",
    "ko-710:FAKE",
    "ko-720:FAKE",
    "ko-550:BOOT",
    "ko-650:BOOT",
    "ko-540",
    "ko-640:x",
};

// Label texts: the ones that offer an option, near misses, and absent.
const char* const kRollerLabels[] = {
    nullptr, "Brake Roller:", "Roller Set:", "Pad:", "Pad: ", "pad:", "Roller"};
const char* const kPickLabels[] = {nullptr, "Pick Roller:", "Pick Roller: "};
const char* const kCleaningLabels[] = {nullptr, "After cleaning:", "After Cleaning:"};

// Entry points whose result the fakes may override for one run.
const char* const kFailingEntryPoints[] = {
    "korwc_StartExcusive",  "GetArdosaInfo",    "OnInitDialog",        "GetEEPROMData",
    "korwc_GetFirmVersion", "korwc_InquiryVPD", "korwc_GetDeviceName",
};

// Calls that change the device; parsing must never reach one.
const char* const kWritingEntryPoints[] = {
    "SetEEPROMData",        "SetOffSetData",        "SetPowerOffTime", "ModeSelect_LongTimer",
    "SetPowerSavingEEPROM", "OnResetAfterCleaning", "OnResetBrake",    "OnResetPick",
};

template <typename T, size_t N>
T Pick(FuzzedDataProvider& in, T const (&choices)[N]) {
    return choices[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

// Mostly small steps, sometimes any 32-bit value.
int32_t Step(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegral<int32_t>() : in.ConsumeIntegralInRange(-2, 16);
}

void ConfigureScanner(FuzzedDataProvider& in) {
    size_t devices = in.ConsumeIntegralInRange<size_t>(0, 3);
    g_fake.deviceNames.clear();
    for (size_t i = 0; i < devices; ++i) {
        g_fake.deviceNames.push_back(Pick(in, kDeviceNames));
    }
    if (in.ConsumeBool()) {
        g_fake.iDeviceCountOverride = in.ConsumeIntegralInRange(-2, 4);
    }
    ardosa_info& a = g_fake.ardosa;
    a.cpRollerLabel = Pick(in, kRollerLabels);
    a.cpPickLabel = Pick(in, kPickLabels);
    a.cpCleaningLabel = Pick(in, kCleaningLabels);
    a.bPowerSaveSupported = in.ConsumeBool() ? 1 : 0;
    a.bPowerOffSupported = in.ConsumeBool() ? 1 : 0;
    a.iSleepMinStep = Step(in);
    a.iSleepMaxStep = Step(in);
    a.iSleepStep = Step(in);
    a.iPowerOffSetting = Step(in);
    g_fake.offsets.bOffsetSupported = in.ConsumeBool() ? 1 : 0;
    g_fake.offsets.bFlatbed = in.ConsumeBool() ? 1 : 0;
    g_fake.offsets.bEndOfPage = in.ConsumeBool() ? 1 : 0;
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        g_fake.results[Pick(in, kFailingEntryPoints)] = in.ConsumeIntegralInRange(-1, 1);
    }
    size_t inquiryLength = in.ConsumeIntegralInRange<size_t>(0, 96);
    g_fake.firmware = in.ConsumeRandomLengthString(20);
    g_fake.inquiry = in.ConsumeBytes<unsigned char>(inquiryLength);
}

bool Called(const char* entryPoint) {
    std::vector<std::string> called = CalledEntryPoints();
    return std::find(called.begin(), called.end(), entryPoint) != called.end();
}

bool IsWordOf(const char* text, const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (text >= word.c_str() && text <= word.c_str() + word.size()) {
            return true;
        }
    }
    return false;
}

bool IsOneOf(int value, std::initializer_list<int> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

bool OffsetInRange(const offset_request& request) {
    auto inRange = [](int32_t v) { return v >= -4 && v <= 4; };
    return (request.uiSet & ~7u) == 0 &&
           ((request.uiSet & kOffsetMain) == 0 || inRange(request.iMain)) &&
           ((request.uiSet & kOffsetSub) == 0 || inRange(request.iSub)) &&
           ((request.uiSet & kOffsetEndOfPage) == 0 || inRange(request.iEndOfPage));
}

// The scanner's range in minutes; steps beyond the int range of minutes stand for the farthest
// whole step that fits.
long long SleepLimit(int32_t step) {
    const long long farthest = INT32_MAX / kMinutesPerStep * kMinutesPerStep;
    return std::max(-farthest, std::min(farthest, static_cast<long long>(kMinutesPerStep) * step));
}

bool SleepMinutesInRange(int32_t minutes) {
    long long lo = SleepLimit(g_ArdosaInfo.iSleepMinStep);
    long long hi = SleepLimit(g_ArdosaInfo.iSleepMaxStep);
    return minutes >= std::min(lo, hi) && minutes <= std::max(lo, hi);
}

// What a record that the parser hands on for applying may hold.
void CheckRecord(const velnor_command_info& r) {
    FuzzCheck((r.uiRequest & ~0x3F0u) == 0, "only the known request bits are set");
    FuzzCheck(r.uiRequest == 0 || g_bOpened, "a change is requested only on an open session");
    FuzzCheck((r.uiClearMask & ~0x1Fu) == 0, "only the five counters can be cleared");
    FuzzCheck((r.uiOffsetGroups & ~7u) == 0, "only the three offset groups exist");
    FuzzCheck((r.uiRequest & kRequestSleepTimer) == 0 || SleepMinutesInRange(r.iSleepMinutes),
              "the sleep timer lies within the scanner's range");
    FuzzCheck(
        (r.uiRequest & kRequestPowerOff) == 0 || (r.iPowerOffCode >= 0 && r.iPowerOffCode <= 4),
        "the power-off code is 0..4");
    FuzzCheck(
        OffsetInRange(r.stAdfFront) && OffsetInRange(r.stAdfBack) && OffsetInRange(r.stFlatbed),
        "offsets lie within -4..4");
    FuzzCheck((r.uiRequest & kRequestAdfMagnification) == 0 ||
                  (r.iAdfMagnification >= -31 && r.iAdfMagnification <= 31),
              "the ADF magnification lies within -31..31");
    FuzzCheck((r.uiRequest & kRequestFlatbedMagnification) == 0 ||
                  (r.iFlatbedMagnification >= -31 && r.iFlatbedMagnification <= 31),
              "the flatbed magnification lies within -31..31");
    FuzzCheck(IsOneOf(g_iErrCode, {kExitSuccess, kExitRounded}), "a good parse leaves 0 or 5");
}

// The common-command scan on its own, on a copy of the argument vector.
struct CommonScan {
    bool bOk;
    bool bHasCommon;
};

CommonScan ScanCommonAlone(int argc, std::vector<char*> argv) {
    CommonScan scan = {false, false};
    optind = 0;
    scan.bOk = HasCommonCommand(argc, argv.data(), scan.bHasCommon);
    g_iErrCode = 0;
    return scan;
}

// The driver's device selection; false when the run would end there.
bool SelectDevice(int argc, char** argv, const std::vector<std::string>& words,
                  velnor_command_info& record) {
    if (g_fcpkorwc_GetDeviceTotalNum() == 0) {
        return false;
    }
    bool ok = true;
    record.cpDeviceName = GetValidScannerName(argc, argv, &ok);
    FuzzCheck(record.cpDeviceName == nullptr || IsWordOf(record.cpDeviceName, words),
              "the device name is a word of the command line");
    if (!ok) {
        FuzzCheck(g_iErrCode == kExitUnknownOption, "a bad option gives 3");
        return false;
    }
    if (record.cpDeviceName == nullptr) {
        record.cpDeviceName = g_fcpkorwc_GetDeviceName(0);
        return true;
    }
    return IsValidScannerName(record.cpDeviceName);
}

void CheckParse(const CommonScan& common, int argc, bool parsed, bool finished,
                const velnor_command_info& record) {
    for (const char* entryPoint : kWritingEntryPoints) {
        FuzzCheck(!Called(entryPoint), "parsing never writes to the device");
    }
    if (argc > 1) {
        FuzzCheck(common.bOk || (!parsed && g_iErrCode == kExitUnknownOption),
                  "an option the common scan refuses ends the run with 3");
        FuzzCheck(!(common.bOk && common.bHasCommon) || (parsed && finished),
                  "a common command completes the run");
    }
    if (!parsed) {
        FuzzCheck(IsOneOf(g_iErrCode, {kExitInvalidValue, kExitUnknownOption, kExitNotConnected,
                                       kExitEepromUnreadable, kExitStrayArgument}),
                  "a failed parse stores its exit code");
    } else if (!finished) {
        CheckRecord(record);
    }
}

// The driver's road from the device-name scan to the end of parsing, without its exits.
void RunScans(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    CommonScan common = ScanCommonAlone(argc, argv);
    velnor_command_info record;
    std::memset(&record, 0, sizeof record);
    if (!SelectDevice(argc, argv.data(), words, record)) {
        return;
    }
    bool finished = false;
    bool parsed = ParseCommandLine(argc, argv.data(), &record, &finished);
    CheckParse(common, argc, parsed, finished, record);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();
    // The option parser's own diagnostics on the error stream would drown the fuzzer's; the
    // codes it returns do not depend on them.
    opterr = 0;
    g_cpProfilePath = "/nonexistent/orvex-fuzz/zevlaunch.conf";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    ResetToolState();
    InstallFakeService();
    ConfigureScanner(in);
    std::vector<std::string> words = {"orvexconsumables"};
    while (words.size() <= kMaxWords && in.remaining_bytes() > 0) {
        words.push_back(in.ConsumeRandomLengthString(kMaxWordLength));
    }
    RunScans(words);
    ResetToolState();
    return 0;
}
