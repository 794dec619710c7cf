// Fuzz target: the information report and the help on fuzzed record bytes: identification texts
// without terminators, any flag values, any counts, labels of any text. The session counts as
// open, so the only library calls left are the device list's, answered by in-process fakes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/help.h"
#include "cli/info.h"
#include "cli/state.h"
#include "consumables/command.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/fake_service.h"
#include "tests/support/tool_state.h"

namespace {

const char* const kLabelTexts[] = {
    "Brake Roller:", "Roller Set:", "Pad:", "Pick Roller:", "After cleaning:"};
const char* const kPowerOffTexts[] = {"inactive", "1 Hour",  "2 Hours",
                                      "4 Hours",  "8 Hours", "unknown"};

// Label texts owned by the fuzzer for one input, each in a block of exactly its size, so that a
// read past the terminator is caught.
std::vector<char*> g_labels;

const char* Label(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return nullptr;
        case 1:
            return kLabelTexts[in.ConsumeIntegralInRange<size_t>(0, 4)];
        default:
            break;
    }
    std::string text = in.ConsumeRandomLengthString(40);
    char* label = static_cast<char*>(std::malloc(text.size() + 1));
    FuzzCheck(label != nullptr, "memory for a label");
    std::memcpy(label, text.c_str(), text.size() + 1);
    g_labels.push_back(label);
    return label;
}

void FreeLabels() {
    for (char* label : g_labels) {
        std::free(label);
    }
    g_labels.clear();
}

template <typename Record>
void FillRaw(FuzzedDataProvider& in, Record& record) {
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(sizeof record);
    std::memset(&record, 0, sizeof record);
    if (!bytes.empty()) {
        std::memcpy(&record, bytes.data(), bytes.size());
    }
}

void ConfigureDevices(FuzzedDataProvider& in) {
    size_t count = in.ConsumeIntegralInRange<size_t>(0, 3);
    g_fake.deviceNames.clear();
    for (size_t i = 0; i < count; ++i) {
        g_fake.deviceNames.push_back(in.ConsumeRandomLengthString(40));
    }
    g_fake.iDeviceCountOverride = in.ConsumeIntegralInRange(-2, 5);
}

// Runs one output with standard output captured.
std::string Capture(void (*show)(velnor_command_info*), velnor_command_info* record) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* saved = stdout;
    stdout = open_memstream(&buffer, &size);
    FuzzCheck(stdout != nullptr, "memory for the output");
    show(record);
    std::fclose(stdout);
    stdout = saved;
    std::string output(buffer, size);
    std::free(buffer);
    return output;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool Contains(const char* text, size_t length, const char* part) {
    return text != nullptr && memmem(text, length, part, std::strlen(part)) != nullptr;
}

// True when a text from the library holds the power-off label itself, so that the report's own
// line cannot be told from it.
bool LibraryTextsHold(const char* part) {
    const device_info& d = g_velnor_device_info;
    for (const char* label :
         {g_ArdosaInfo.cpRollerLabel, g_ArdosaInfo.cpPickLabel, g_ArdosaInfo.cpCleaningLabel}) {
        if (label != nullptr && Contains(label, std::strlen(label), part)) {
            return true;
        }
    }
    return Contains(d.szProductId, sizeof d.szProductId, part) ||
           Contains(d.szRevision, sizeof d.szRevision, part) ||
           Contains(d.szInitialUse, sizeof d.szInitialUse, part) ||
           Contains(d.szSerialNumber, sizeof d.szSerialNumber, part);
}

// The value after the last "Power off:" label (labels and texts from the library come before it).
void CheckPowerOffLine(const std::string& report) {
    const std::string label = "\n Power off:\t\t\t";
    if (LibraryTextsHold("Power off:")) {
        return;
    }
    size_t at = report.rfind(label);
    FuzzCheck((at != std::string::npos) == (g_ArdosaInfo.bPowerOffSupported != 0),
              "the power-off line is there exactly when the scanner offers it");
    if (at == std::string::npos) {
        return;
    }
    size_t start = at + label.size();
    std::string value = report.substr(start, report.find('\n', start) - start);
    bool known = false;
    for (const char* text : kPowerOffTexts) {
        known = known || value == text;
    }
    FuzzCheck(known, "the power-off line ends with a known text and the line end");
}

void CheckReport(const std::string& report, const ardosa_info& before) {
    FuzzCheck(StartsWith(report, "Device Info:\n"), "the report starts with its heading");
    FuzzCheck(report.back() == '\n', "the report ends with a line end");
    FuzzCheck(report.find('\0') == std::string::npos, "the report prints no NUL byte");
    CheckPowerOffLine(report);
    FuzzCheck(std::memcmp(&before, &g_ArdosaInfo, sizeof before) == 0,
              "the report changes nothing of the scanner's records");
}

void CheckHelp(const std::string& help) {
    FuzzCheck(StartsWith(help, "Usage: orvexconsumables [OPTION]...\n"), "the help's usage line");
    FuzzCheck(help.find("\nOptions specific to device '") != std::string::npos,
              "an open session gives the device part");
    FuzzCheck(help.find("\n\nList of available devices:\n") != std::string::npos,
              "the help ends with the device list");
    FuzzCheck(help.back() == '\n', "the help ends with a line end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    ResetToolState();
    InstallFakeService();
    ConfigureDevices(in);
    std::string deviceName = in.ConsumeRandomLengthString(40);
    const char* roller = Label(in);
    const char* pick = Label(in);
    const char* cleaning = Label(in);
    FillRaw(in, g_ArdosaInfo);
    g_ArdosaInfo.cpRollerLabel = roller;
    g_ArdosaInfo.cpPickLabel = pick;
    g_ArdosaInfo.cpCleaningLabel = cleaning;
    FillRaw(in, g_velnor_device_info);
    FillRaw(in, g_OffSetData);
    g_bOpened = true;

    velnor_command_info record;
    std::memset(&record, 0, sizeof record);
    record.cpDeviceName = deviceName.c_str();
    ardosa_info before = g_ArdosaInfo;
    CheckReport(Capture(ShowInfo, &record), before);
    CheckHelp(Capture(ShowHelpList, &record));
    FuzzCheck(g_iErrCode == kExitSuccess, "the outputs store no exit code");
    for (const std::string& name : CalledEntryPoints()) {
        FuzzCheck(name == "korwc_GetDeviceTotalNum" || name == "korwc_GetDeviceName",
                  "an open session needs only the device list from the libraries");
    }
    ResetToolState();
    FreeLabels();
    return 0;
}
