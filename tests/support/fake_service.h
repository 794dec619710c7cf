// In-process fakes of the 26 entry points, for unit tests: configured from one plain record,
// able to fail any call, recording every call in the simulator's trace format. The core part of
// the fakes: it includes the libraries' contract (access/) and nothing of a front end.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "access/records.h"

struct FakeService {
    std::vector<std::string> deviceNames = {"ko-330xs:FAKE0001"};
    int iDeviceCountOverride = -1000;    // any other value is returned as the device count
    std::string firmware = "0C31";       // text copied by korwc_GetFirmVersion
    std::vector<unsigned char> inquiry;  // bytes copied by korwc_InquiryVPD (up to its length)
    std::map<std::string, std::string> settings;  // korwc_GetXMLSettings2: key -> value
    int iLastError = 3;
    ardosa_info ardosa{};   // copied out by GetArdosaInfo
    device_info device{};   // copied out by OnInitDialog
    offset_data offsets{};  // copied out by GetOffSetData; SetOffSetData stores what it receives
    std::map<std::string, int>
        results;  // result override per entry point, e.g. {"SetEEPROMData", -1}
    std::map<std::string, int> failOnce;  // result of the first call only, per entry point
    std::vector<std::string> calls;       // one trace line per call, in order
    std::string callLogPath;  // when set, each call line is also appended to this file, so that
                              // the calls of a forked child reach the test
    std::function<void(const std::string& entryPoint)> onCall;  // run after each call is logged
};

/// The fake the installed entry points read and record into.
extern FakeService g_fake;

/// Resets g_fake to a plain scanner (labels, sleep timer, power-off and offsets all supported)
/// and points every entry-point global at the fakes.
void InstallFakeService();

/// Unbinds the entry points: every entry-point global null and no library handle, as before a
/// run binds the libraries. g_fake is left as it is.
void ResetFakeService();

/// The names of the entry points called, in order, without their arguments.
std::vector<std::string> CalledEntryPoints();
