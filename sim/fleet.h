// The fleet model of the simulated scanner service: the attached scanners as the fleet file
// describes them, read with nlohmann-json into plain records.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "access/entry_points.h"

namespace sim {

/// A fault setting of one entry point (the "faults" objects of the fleet file).
struct FaultRule {
    bool bHasResult = false;  // "result" given: the call returns iResult and does nothing else
    int iResult = 0;
    bool bOnce = false;  // the rule applies to the first such call of a process only
    int iDelayMs = 0;    // the call sleeps this long first
};

/// Fault rules by exported entry-point name.
using FaultTable = std::map<std::string, FaultRule>;

/// One consumable counter; a label that is absent in the file has bHasLabel false.
struct Counter {
    bool bHasLabel = false;
    std::string label;
    int iCount = 0;
    bool bMark1 = false;
    bool bMark2 = false;
};

/// The offsets and magnifications of one scanner, in the units of offset_data.
struct Offsets {
    bool bSupported = false;
    bool bFlatbed = false;
    bool bEndOfPage = false;
    int iByte41 = 0;
    int iAdfFrontMain = 0, iAdfFrontSub = 0, iAdfFrontEndOfPage = 0;
    int iAdfBackMain = 0, iAdfBackSub = 0, iAdfBackEndOfPage = 0;
    int iFbMain = 0, iFbSub = 0;
    int iAdfMagnification = 0, iFbMagnification = 0;
};

/// One scanner of the fleet.
struct Scanner {
    std::string name;
    bool bAttached = true;
    std::string firmware;
    std::map<int, unsigned char> inquiry;  // vital product data bytes by index; others are 0
    std::string productId, revision, initialUse, serialNumber;
    int iAdfTotal = 0, iFbTotal = 0;
    bool bHasFlatbed = false;
    Counter cleaning, roller, pick;
    bool bSleepSupported = false;
    int iSleepMinStep = 0, iSleepMaxStep = 0, iSleepStep = 0;
    bool bPowerOffSupported = false, bPowerOffActive = false;
    int iPowerOffSetting = 0;
    Offsets offsets;
    int iLastError = 0;
    FaultTable faults;
};

/// The whole fleet file.
struct Fleet {
    std::vector<Scanner> scanners;  // in enumeration order, attached or not
    FaultTable faults;              // apply to every scanner
};

/// The exported entry-point names in binding order (access/entry_points.def), the keys accepted
/// in "faults".
extern const char* const kEntryPointNames[kEntryPointCount];

/// Reads one scanner from its JSON object; throws std::runtime_error (naming the key) or a
/// nlohmann exception when a key has the wrong type or an impossible value.
Scanner ParseScanner(const nlohmann::json& object);

/// Reads a whole fleet document; throws like ParseScanner.
Fleet ParseFleet(const nlohmann::json& document);

/// Loads the fleet file at path. A missing, unreadable or malformed file gives an empty fleet and
/// sets error to a one-line description; otherwise error is left empty.
Fleet LoadFleet(const std::string& path, std::string& error);

/// The fleet file to use: $ORVEX_SIM_FLEET, else simfleet.json beside the library holding this
/// code.
std::string FleetPath();

/// The fleet file that path leads to, links resolved, so that every process locks and replaces
/// the same file; path itself when it cannot be resolved (it does not exist).
std::string ResolveFleetPath(const std::string& path);

}  // namespace sim
