// The device-watch library (libkorwatch.so): enumeration, exclusive access, firmware version,
// vital product data, settings file and last error, over the fleet file.
#include <cstring>
#include <string>

#include "access/entry_points.h"
#include "sim/exports.h"
#include "sim/locks.h"
#include "sim/service.h"
#include "sim/settings.h"

using sim::RunCall;
using sim::Scanner;

namespace {

// The scanner that the last call with a device name named, for the last error.
std::string g_lastNamed;
// A claim of this process was refused (or named no attached scanner) since the last good one.
bool g_bClaimRefused = false;

// The attached scanner of that name; remembers the name for korwc_GetLastErrorInfo.
const Scanner* Named(const char* name) {
    const Scanner* scanner = sim::FindAttached(name);
    if (scanner != nullptr) {
        g_lastNamed = scanner->name;
    }
    return scanner;
}

int Claim(const Scanner* scanner) {
    bool claimed = scanner != nullptr && sim::ClaimScanner(sim::FleetPath(), scanner->name);
    g_bClaimRefused = !claimed;
    return claimed ? 1 : 0;
}

int LastError() {
    if (g_bClaimRefused) {
        return kLastErrorNotConnected;
    }
    const Scanner* scanner = sim::FindAttached(g_lastNamed.c_str());
    return scanner == nullptr ? 0 : scanner->iLastError;
}

int CopyFirmware(const Scanner* scanner, char* buffer, int size) {
    if (scanner == nullptr || buffer == nullptr || size <= 0) {
        return 0;
    }
    size_t length = scanner->firmware.size();
    if (length > static_cast<size_t>(size) - 1) {
        length = static_cast<size_t>(size) - 1;
    }
    std::memcpy(buffer, scanner->firmware.data(), length);
    buffer[length] = '\0';
    return 1;
}

int CopyInquiry(const Scanner* scanner, unsigned char* buffer, int length) {
    if (scanner == nullptr || buffer == nullptr || length <= 0) {
        return 0;
    }
    for (int i = 0; i < length; ++i) {
        auto byte = scanner->inquiry.find(i);
        buffer[i] = byte == scanner->inquiry.end() ? 0 : byte->second;
    }
    return 1;
}

std::string DeviceAnd(const char* name, const std::string& more) {
    return trace::Text(name) + ", " + more;
}

}  // namespace

int korwc_GetDeviceTotalNum() {
    return RunCall("korwc_GetDeviceTotalNum", nullptr, "", 0, [] { return sim::CountAttached(); });
}

const char* korwc_GetDeviceName(int index) {
    const char* name = nullptr;
    try {
        const Scanner* scanner = sim::AttachedAt(index);
        int result = 1;
        sim::Faulted(scanner, "korwc_GetDeviceName", result);
        name = scanner != nullptr && result != 0 ? sim::KeepText(scanner->name) : nullptr;
    } catch (const std::exception& e) {
        sim::Diagnose(std::string("korwc_GetDeviceName: ") + e.what());
    } catch (...) {
        sim::Diagnose("korwc_GetDeviceName: unexpected failure");
    }
    sim::AppendTrace("korwc_GetDeviceName", trace::Int(index), trace::Text(name));
    return name;
}

int korwc_StartExcusive(const char* name) {
    const Scanner* scanner = Named(name);
    return RunCall("korwc_StartExcusive", scanner, trace::Text(name), 0,
                   [scanner] { return Claim(scanner); });
}

int korwc_EndExcusive(const char* name) {
    // A run that chose no device passes none.
    return RunCall(
        "korwc_EndExcusive", name == nullptr ? nullptr : Named(name), trace::Text(name), 0,
        [name] { return name != nullptr && sim::ReleaseScanner(name) ? 1 : 0; },
        name == nullptr ? sim::FleetUse::kIfLoaded : sim::FleetUse::kLoad);
}

int korwc_Open(const char* name) {
    const Scanner* scanner = Named(name);
    return RunCall("korwc_Open", scanner, trace::Text(name), 0,
                   [scanner] { return scanner != nullptr ? 1 : 0; });
}

int korwc_Close(const char* name) {
    const Scanner* scanner = Named(name);
    return RunCall("korwc_Close", scanner, trace::Text(name), 0,
                   [scanner] { return scanner != nullptr ? 1 : 0; });
}

int korwc_GetFirmVersion(const char* name, char* buffer, int size) {
    const Scanner* scanner = Named(name);
    return RunCall("korwc_GetFirmVersion", scanner, DeviceAnd(name, "buffer, " + trace::Int(size)),
                   0, [=] { return CopyFirmware(scanner, buffer, size); });
}

int korwc_InquiryVPD(const char* name, unsigned char* buffer, int length, int flags) {
    const Scanner* scanner = Named(name);
    return RunCall("korwc_InquiryVPD", scanner,
                   DeviceAnd(name, "buffer, " + trace::Int(length) + ", " + trace::Int(flags)), 0,
                   [=] { return CopyInquiry(scanner, buffer, length); });
}

const char* korwc_GetXMLSettings2(const char* key, const char* defaultText, const char* path) {
    static std::string value;
    const char* text = nullptr;
    try {
        int result = 1;
        sim::Faulted(nullptr, "korwc_GetXMLSettings2", result);
        value = sim::LookUpSetting(key, defaultText, path);
        text = result != 0 ? value.c_str() : nullptr;
    } catch (const std::exception& e) {
        sim::Diagnose(std::string("korwc_GetXMLSettings2: ") + e.what());
    } catch (...) {
        sim::Diagnose("korwc_GetXMLSettings2: unexpected failure");
    }
    sim::AppendTrace("korwc_GetXMLSettings2",
                     trace::Text(key) + ", " + trace::Text(defaultText) + ", " + trace::Text(path),
                     trace::Text(text));
    return text;
}

int korwc_GetLastErrorInfo() {
    return RunCall("korwc_GetLastErrorInfo", sim::FindAttached(g_lastNamed.c_str()), "", 0,
                   [] { return LastError(); });
}

int korwc_UnlockScanner(const char* name) {
    const Scanner* scanner = name == nullptr ? nullptr : Named(name);
    return RunCall(
        "korwc_UnlockScanner", scanner, trace::Text(name), 0,
        [scanner] { return scanner != nullptr ? 1 : 0; },
        name == nullptr ? sim::FleetUse::kIfLoaded : sim::FleetUse::kLoad);
}
