// In-process fakes of the service libraries' entry points.
#include "tests/support/fake_service.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "access/binding.h"
#include "sim/trace_format.h"
#include "tests/support/trace_lines.h"

FakeService g_fake;

namespace {

int Result(const char* name, int normal) {
    auto once = g_fake.failOnce.find(name);
    if (once != g_fake.failOnce.end()) {
        int value = once->second;
        g_fake.failOnce.erase(once);
        return value;
    }
    auto it = g_fake.results.find(name);
    return it == g_fake.results.end() ? normal : it->second;
}

void Log(const std::string& line) {
    g_fake.calls.push_back(line);
    if (!g_fake.callLogPath.empty()) {
        if (FILE* log = std::fopen(g_fake.callLogPath.c_str(), "a")) {
            std::fprintf(log, "%s\n", line.c_str());
            std::fclose(log);
        }
    }
    if (g_fake.onCall) {
        g_fake.onCall(line.substr(0, line.find('(')));
    }
}

int Record(const char* name, const std::string& arguments, int result) {
    Log(trace::Line(name, arguments, trace::Int(result)));
    return result;
}

int DeviceCount() {
    int count = g_fake.iDeviceCountOverride != -1000 ? g_fake.iDeviceCountOverride
                                                     : static_cast<int>(g_fake.deviceNames.size());
    return Result("korwc_GetDeviceTotalNum", count);
}

// One tag per entry point, carrying its exported name and function type, to hang its fake on.
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) \
    struct symbol##_tag {                                          \
        using Fn = symbol##_fn;                                    \
        static constexpr const char* kName = #symbol;              \
    };
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT

// How an argument of a uniform fake appears in its trace line. An entry point whose arguments
// have no form here (records, buffers) needs a fake of its own.
std::string TraceArgument(const char* text) {
    return trace::Text(text);
}
std::string TraceArgument(int value) {
    return trace::Int(value);
}
std::string TraceArgument(const unsigned short* minutes) {
    return trace::Int(*minutes);
}

std::string TraceArguments() {
    return "";
}

template <typename First, typename... Rest>
std::string TraceArguments(First first, Rest... rest) {
    std::string text = TraceArgument(first);
    ((text += ", " + TraceArgument(rest)), ...);
    return text;
}

// The fake of an entry point: unless specialised below, it records the call and returns 1 or
// the result configured for it.
template <typename Tag, typename Fn = typename Tag::Fn>
struct Fake;

template <typename Tag, typename... Args>
struct Fake<Tag, int(Args...)> {
    static int Call(Args... args) {
        return Record(Tag::kName, TraceArguments(args...), Result(Tag::kName, 1));
    }
};

extern "C" {

int FakeGetDeviceTotalNum() {
    return Record("korwc_GetDeviceTotalNum", "", DeviceCount());
}

const char* FakeGetDeviceName(int index) {
    const char* name = nullptr;
    if (index >= 0 && index < static_cast<int>(g_fake.deviceNames.size())) {
        name = g_fake.deviceNames[static_cast<size_t>(index)].c_str();
    }
    if (Result("korwc_GetDeviceName", 1) == 0) {
        name = nullptr;
    }
    Log(trace::Line("korwc_GetDeviceName", trace::Int(index), trace::Text(name)));
    return name;
}

int FakeGetFirmVersion(const char* name, char* buffer, int size) {
    int result = Result("korwc_GetFirmVersion", 1);
    if (IsLibraryTrue(result) && size > 0) {
        std::strncpy(buffer, g_fake.firmware.c_str(), static_cast<size_t>(size) - 1);
        buffer[size - 1] = '\0';
    }
    return Record("korwc_GetFirmVersion", trace::Text(name) + ", buffer, " + trace::Int(size),
                  result);
}

int FakeInquiryVPD(const char* name, unsigned char* buffer, int length, int flags) {
    int result = Result("korwc_InquiryVPD", 1);
    if (IsLibraryTrue(result)) {
        for (int i = 0; i < length && i < static_cast<int>(g_fake.inquiry.size()); ++i) {
            buffer[i] = g_fake.inquiry[static_cast<size_t>(i)];
        }
    }
    return Record("korwc_InquiryVPD",
                  trace::Text(name) + ", buffer, " + trace::Int(length) + ", " + trace::Int(flags),
                  result);
}

const char* FakeGetXMLSettings2(const char* key, const char* defaultText, const char* path) {
    static std::string value;
    auto it = g_fake.settings.find(key);
    value = it == g_fake.settings.end() ? defaultText : it->second;
    Log(trace::Line("korwc_GetXMLSettings2",
                    trace::Text(key) + ", " + trace::Text(defaultText) + ", " + trace::Text(path),
                    trace::Text(value.c_str())));
    return value.c_str();
}

int FakeGetLastErrorInfo() {
    return Record("korwc_GetLastErrorInfo", "",
                  Result("korwc_GetLastErrorInfo", g_fake.iLastError));
}

int FakeGetArdosaInfo(ardosa_info* info) {
    int result = Result("GetArdosaInfo", 1);
    if (result != 0) {
        *info = g_fake.ardosa;
    }
    return Record("GetArdosaInfo", "&ardosa_info", result);
}

int FakeOnInitDialog(device_info* info) {
    int result = Result("OnInitDialog", 1);
    if (result != 0) {
        *info = g_fake.device;
    }
    return Record("OnInitDialog", "&device_info", result);
}

int FakeGetOffSetData(offset_data* data) {
    *data = g_fake.offsets;
    return Record("GetOffSetData", "&offset_data", Result("GetOffSetData", 1));
}

int FakeSetOffSetData(offset_data* data) {
    int result = Result("SetOffSetData", 1);
    if (result != 0) {
        g_fake.offsets = *data;
    }
    return Record("SetOffSetData", trace::DescribeOffsetData(*data), result);
}

}  // extern "C"

// The entry points whose fakes fill records or buffers, count devices or keep what they receive.
#define SPECIAL_FAKE(symbol, function)                 \
    template <>                                        \
    struct Fake<symbol##_tag> {                        \
        static constexpr symbol##_fn* Call = function; \
    };
SPECIAL_FAKE(korwc_GetDeviceTotalNum, FakeGetDeviceTotalNum)
SPECIAL_FAKE(korwc_GetDeviceName, FakeGetDeviceName)
SPECIAL_FAKE(korwc_GetFirmVersion, FakeGetFirmVersion)
SPECIAL_FAKE(korwc_InquiryVPD, FakeInquiryVPD)
SPECIAL_FAKE(korwc_GetXMLSettings2, FakeGetXMLSettings2)
SPECIAL_FAKE(korwc_GetLastErrorInfo, FakeGetLastErrorInfo)
SPECIAL_FAKE(GetArdosaInfo, FakeGetArdosaInfo)
SPECIAL_FAKE(OnInitDialog, FakeOnInitDialog)
SPECIAL_FAKE(GetOffSetData, FakeGetOffSetData)
SPECIAL_FAKE(SetOffSetData, FakeSetOffSetData)
#undef SPECIAL_FAKE

const char kRollerLabel[] = "Brake Roller:";
const char kPickLabel[] = "Pick Roller:";
const char kCleaningLabel[] = "After cleaning:";

void FillPlainScanner(FakeService& fake) {
    fake = FakeService();
    ardosa_info& a = fake.ardosa;
    a.bHasFlatbed = 1;
    a.cpRollerLabel = kRollerLabel;
    a.cpPickLabel = kPickLabel;
    a.cpCleaningLabel = kCleaningLabel;
    a.iAdfTotal = 12000;
    a.iFbTotal = 340;
    a.iRollerCount = 5000;
    a.iPickCount = 6000;
    a.iCleaningCount = 700;
    a.iSleepMinStep = 1;
    a.iSleepMaxStep = 12;
    a.iSleepStep = 3;
    a.bPowerOffSupported = 1;
    a.bPowerSaveSupported = 1;
    a.bPowerOffActive = 1;
    a.iPowerOffSetting = 1;
    std::strcpy(fake.device.szProductId, "ko-330xs");
    std::strcpy(fake.device.szRevision, "1.00");
    std::strcpy(fake.device.szSerialNumber, "FAKE0001");
    fake.offsets.bFlatbed = 1;
    fake.offsets.bLibrary41 = 0x5A;
    fake.offsets.bEndOfPage = 1;
    fake.offsets.bOffsetSupported = 1;
}

}  // namespace

void InstallFakeService() {
    FillPlainScanner(g_fake);
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) \
    global = Fake<symbol##_tag>::Call;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
}

void ResetFakeService() {
    for (const EntryPointBinding& entry : g_stEntryPoints) {
        void* null = nullptr;
        std::memcpy(entry.pSlot, &null, sizeof null);
    }
    g_pkorWatch = nullptr;
    g_pzevControl = nullptr;
}

std::vector<std::string> CalledEntryPoints() {
    return EntryPointNames(g_fake.calls);
}
