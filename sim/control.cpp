// The device-control library (libzevcontrol.so): records, counters, power settings and offsets
// of the scanner given to initlibrary; changes are staged and written to the fleet file.
#include <string>

#include <nlohmann/json.hpp>

#include "access/entry_points.h"
#include "sim/exports.h"
#include "sim/fill.h"
#include "sim/service.h"
#include "sim/store.h"

using json = nlohmann::ordered_json;
using sim::Scanner;

namespace {

/// Changes waiting for the EEPROM write.
struct Staged {
    bool bResetCleaning = false, bResetRoller = false, bResetPick = false;
    bool bSleep = false;
    int iSleepStep = 0;
    bool bPowerOff = false, bPowerOffActive = false;
    int iPowerOffSetting = 0;
};

// The device given to initlibrary; empty before it and after exitlibrary.
std::string g_device;
// The firmware text last handed to SetFirmVersion.
std::string g_firmVersion;
Staged g_staged;

const Scanner* Active() {
    return g_device.empty() ? nullptr : sim::FindAttached(g_device.c_str());
}

// The power-off values: one bit per time (4 one hour ... 32 eight hours), +128 switches off.
int PowerOffCode(int bits) {
    static const int kBits[] = {4, 8, 16, 32};
    for (int code = 0; code < 4; ++code) {
        if (bits == kBits[code]) {
            return code;
        }
    }
    return -1;
}

int StagePowerOff(const Scanner* scanner, int value) {
    bool off = value >= 128 && value < 256;
    int code = PowerOffCode(off ? value - 128 : value);
    if (scanner == nullptr || !scanner->bPowerOffSupported || code < 0) {
        return 0;
    }
    g_staged.bPowerOff = true;
    g_staged.bPowerOffActive = !off;
    g_staged.iPowerOffSetting = code;
    return 1;
}

// Minutes the sleep timer can take: a multiple of 5 within the scanner's range of steps.
int StageSleep(const Scanner* scanner, long minutes) {
    if (scanner == nullptr || !scanner->bSleepSupported || minutes <= 0 || minutes % 5 != 0 ||
        minutes / 5 < scanner->iSleepMinStep || minutes / 5 > scanner->iSleepMaxStep) {
        return 0;
    }
    g_staged.bSleep = true;
    g_staged.iSleepStep = static_cast<int>(minutes / 5);
    return 1;
}

int StageReset(const Scanner* scanner, const sim::Counter Scanner::*counter, bool Staged::*flag) {
    if (scanner == nullptr || !(scanner->*counter).bHasLabel) {
        return 0;
    }
    g_staged.*flag = true;
    return 1;
}

void ResetCounter(json& scanner, const char* key, bool hasMark2) {
    json& counter = scanner["counters"][key];
    counter["count"] = 0;
    counter["mark1"] = false;
    if (hasMark2) {
        counter["mark2"] = false;
    }
}

void ApplyStaged(const Staged& staged, json& scanner) {
    if (staged.bResetCleaning) {
        ResetCounter(scanner, "cleaning", false);
    }
    if (staged.bResetRoller) {
        ResetCounter(scanner, "roller", true);
    }
    if (staged.bResetPick) {
        ResetCounter(scanner, "pick", true);
    }
    if (staged.bSleep) {
        scanner["sleepTimer"]["step"] = staged.iSleepStep;
    }
    if (staged.bPowerOff) {
        scanner["powerOff"]["active"] = staged.bPowerOffActive;
        scanner["powerOff"]["setting"] = staged.iPowerOffSetting;
    }
}

void ApplyOffsets(const offset_data& d, json& scanner) {
    json& o = scanner["offsets"];
    o["adfFront"]["main"] = d.iAdfFrontMain;
    o["adfFront"]["sub"] = d.iAdfFrontSub;
    o["adfFront"]["endOfPage"] = d.iAdfFrontEndOfPage;
    o["adfBack"]["main"] = d.iAdfBackMain;
    o["adfBack"]["sub"] = d.iAdfBackSub;
    o["adfBack"]["endOfPage"] = d.iAdfBackEndOfPage;
    auto flag = o.find("flatbed");
    json& flatbed = flag != o.end() && flag->is_object() ? *flag : o["flatbedOffsets"];
    flatbed["main"] = d.iFbMain;
    flatbed["sub"] = d.iFbSub;
    o["adfMagnification"] = d.iAdfMagnification;
    o["flatbedMagnification"] = d.iFbMagnification;
}

// Writes a change of the active scanner to the fleet file and takes the result as loaded.
bool Persist(const Scanner& scanner, const std::function<void(json&)>& change) {
    Scanner written;
    std::string error;
    if (!sim::UpdateScanner(sim::FleetPath(), scanner.name, change, written, error)) {
        sim::Diagnose(error);
        return false;
    }
    sim::ReplaceScanner(written);
    return true;
}

int WriteStaged(const Scanner* scanner) {
    if (scanner == nullptr) {
        return kEepromWriteFailed;
    }
    Staged staged = g_staged;
    g_staged = Staged();
    bool nothing = !staged.bResetCleaning && !staged.bResetRoller && !staged.bResetPick &&
                   !staged.bSleep && !staged.bPowerOff;
    if (nothing) {
        return 1;
    }
    return Persist(*scanner, [&staged](json& object) { ApplyStaged(staged, object); })
               ? 1
               : kEepromWriteFailed;
}

int WriteOffsets(const Scanner* scanner, const offset_data* data) {
    if (scanner == nullptr || data == nullptr || !scanner->offsets.bSupported) {
        return 0;
    }
    offset_data copy = *data;
    return Persist(*scanner, [&copy](json& object) { ApplyOffsets(copy, object); }) ? 1 : 0;
}

// One call about the scanner that initlibrary chose; before initlibrary the fleet is not loaded
// for it.
template <typename Body>
int Call(const char* name, const Scanner* scanner, const std::string& arguments, int failure,
         Body body) {
    return sim::RunCall(name, scanner, arguments, failure, body, sim::FleetUse::kIfLoaded);
}

std::string Minutes(const unsigned short* minutes) {
    return minutes == nullptr ? "NULL" : trace::Int(*minutes);
}

}  // namespace

int initlibrary(const char* name, int flags) {
    return sim::RunCall("initlibrary", sim::FindAttached(name),
                        trace::Text(name) + ", " + trace::Int(flags), 0, [name] {
                            g_staged = Staged();
                            g_device = sim::FindAttached(name) != nullptr ? name : "";
                            return g_device.empty() ? 0 : 1;
                        });
}

int exitlibrary() {
    return Call("exitlibrary", Active(), "", 0, [] {
        g_device.clear();
        g_staged = Staged();
        return 1;
    });
}

int SetFirmVersion(const char* firmVersion) {
    return Call("SetFirmVersion", Active(), trace::Text(firmVersion), 0, [firmVersion] {
        g_firmVersion = firmVersion == nullptr ? "" : firmVersion;
        return firmVersion != nullptr ? 1 : 0;
    });
}

int GetArdosaInfo(ardosa_info* info) {
    const Scanner* scanner = Active();
    return Call("GetArdosaInfo", scanner, "&ardosa_info", 0, [=] {
        if (scanner == nullptr || info == nullptr) {
            return 0;
        }
        sim::FillArdosaInfo(*scanner, *info);
        return 1;
    });
}

int OnInitDialog(device_info* info) {
    const Scanner* scanner = Active();
    return Call("OnInitDialog", scanner, "&device_info", 0, [=] {
        if (scanner == nullptr || info == nullptr) {
            return 0;
        }
        sim::FillDeviceInfo(*scanner, *info);
        return 1;
    });
}

int GetEEPROMData() {
    const Scanner* scanner = Active();
    return Call("GetEEPROMData", scanner, "", 0, [=] { return scanner != nullptr ? 1 : 0; });
}

int SetPowerOffTime(int value) {
    const Scanner* scanner = Active();
    return Call("SetPowerOffTime", scanner, trace::Int(value), 0,
                [=] { return StagePowerOff(scanner, value); });
}

int ModeSelect_LongTimer(const char* name, unsigned short* minutes) {
    const Scanner* scanner = Active();
    return Call("ModeSelect_LongTimer", scanner, trace::Text(name) + ", " + Minutes(minutes), 0,
                [=] {
                    bool same = name != nullptr && scanner != nullptr && scanner->name == name;
                    return same && minutes != nullptr ? StageSleep(scanner, *minutes) : 0;
                });
}

int SetPowerSavingEEPROM(int minutes) {
    const Scanner* scanner = Active();
    return Call("SetPowerSavingEEPROM", scanner, trace::Int(minutes), 0,
                [=] { return StageSleep(scanner, minutes); });
}

int OnResetAfterCleaning() {
    const Scanner* scanner = Active();
    return Call("OnResetAfterCleaning", scanner, "", 0,
                [=] { return StageReset(scanner, &Scanner::cleaning, &Staged::bResetCleaning); });
}

int OnResetBrake() {
    const Scanner* scanner = Active();
    return Call("OnResetBrake", scanner, "", 0,
                [=] { return StageReset(scanner, &Scanner::roller, &Staged::bResetRoller); });
}

int OnResetPick() {
    const Scanner* scanner = Active();
    return Call("OnResetPick", scanner, "", 0,
                [=] { return StageReset(scanner, &Scanner::pick, &Staged::bResetPick); });
}

int SetEEPROMData() {
    const Scanner* scanner = Active();
    return Call("SetEEPROMData", scanner, "", kEepromWriteFailed,
                [=] { return WriteStaged(scanner); });
}

int GetOffSetData(offset_data* data) {
    const Scanner* scanner = Active();
    return Call("GetOffSetData", scanner, "&offset_data", 0, [=] {
        if (scanner == nullptr || data == nullptr) {
            return 0;
        }
        sim::FillOffsetData(*scanner, *data);
        return 1;
    });
}

int SetOffSetData(offset_data* data) {
    const Scanner* scanner = Active();
    std::string record = data == nullptr ? "NULL" : trace::DescribeOffsetData(*data);
    return Call("SetOffSetData", scanner, record, 0, [=] { return WriteOffsets(scanner, data); });
}
