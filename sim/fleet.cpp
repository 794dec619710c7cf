// Reading the fleet file into the fleet model, with a clear message for the first bad key.
#include "sim/fleet.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace sim {

using nlohmann::json;

// From the one list of entry points, so that "faults" knows exactly the names the libraries export.
const char* const kEntryPointNames[kEntryPointCount] = {
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) #symbol,
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
};

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::runtime_error("\"" + where + "\" " + what);
}

// Refuses a key that the fleet file does not know, most likely a misspelt one, which would
// otherwise leave its value silently at the default.
void CheckKeys(const json& object, std::initializer_list<const char*> known,
               const std::string& where) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto same = [&it](const char* key) { return it.key() == key; };
        if (std::none_of(known.begin(), known.end(), same)) {
            throw std::runtime_error("unknown key \"" + it.key() + "\" in \"" + where + "\"");
        }
    }
}

std::string Path(const std::string& where, const char* key) {
    return where.empty() ? key : where + "." + key;
}

// The member key of object, or null when it is absent or JSON null.
const json* Find(const json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

const json& Object(const json& object, const char* key, const std::string& where) {
    static const json empty = json::object();
    const json* member = Find(object, key);
    if (member == nullptr) {
        return empty;
    }
    if (!member->is_object()) {
        Fail(Path(where, key), "must be an object");
    }
    return *member;
}

bool Bool(const json& object, const char* key, bool fallback, const std::string& where) {
    const json* member = Find(object, key);
    if (member == nullptr) {
        return fallback;
    }
    if (!member->is_boolean()) {
        Fail(Path(where, key), "must be true or false");
    }
    return member->get<bool>();
}

int CheckedInt(const json& value, long long low, long long high, const std::string& where) {
    if (!value.is_number_integer()) {
        Fail(where, "must be a whole number");
    }
    long long number = 0;
    if (value.is_number_unsigned()) {
        unsigned long long raw = value.get<unsigned long long>();
        number = raw > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX
                                                                  : static_cast<long long>(raw);
    } else {
        number = value.get<long long>();
    }
    if (number < low || number > high) {
        Fail(where, "must lie within " + std::to_string(low) + ".." + std::to_string(high));
    }
    return static_cast<int>(number);
}

int Int(const json& object, const char* key, const std::string& where, long long low = INT_MIN,
        long long high = INT_MAX) {
    const json* member = Find(object, key);
    return member == nullptr ? 0 : CheckedInt(*member, low, high, Path(where, key));
}

std::string Text(const json& object, const char* key, const std::string& where) {
    const json* member = Find(object, key);
    if (member == nullptr) {
        return "";
    }
    if (!member->is_string()) {
        Fail(Path(where, key), "must be a text");
    }
    return member->get<std::string>();
}

bool IsEntryPoint(const std::string& name) {
    for (const char* known : kEntryPointNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

FaultTable ParseFaults(const json& object, const std::string& where) {
    FaultTable table;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::string path = Path(where, it.key().c_str());
        if (!IsEntryPoint(it.key())) {
            Fail(path, "is not an entry point of the service libraries");
        }
        if (!it->is_object()) {
            Fail(path, "must be an object");
        }
        CheckKeys(*it, {"result", "once", "delayMs"}, path);
        FaultRule rule;
        const json* result = Find(*it, "result");
        rule.bHasResult = result != nullptr;
        rule.iResult =
            rule.bHasResult ? CheckedInt(*result, INT_MIN, INT_MAX, path + ".result") : 0;
        rule.bOnce = Bool(*it, "once", false, path);
        rule.iDelayMs = Int(*it, "delayMs", path, 0, 600000);
        table[it.key()] = rule;
    }
    return table;
}

Counter ParseCounter(const json& counters, const char* key, const std::string& where) {
    const json& object = Object(counters, key, where);
    std::string path = Path(where, key);
    CheckKeys(object, {"label", "count", "mark1", "mark2"}, path);
    Counter counter;
    const json* label = Find(object, "label");
    counter.bHasLabel = label != nullptr;
    counter.label = Text(object, "label", path);
    counter.iCount = Int(object, "count", path);
    counter.bMark1 = Bool(object, "mark1", false, path);
    counter.bMark2 = Bool(object, "mark2", false, path);
    return counter;
}

std::map<int, unsigned char> ParseInquiry(const json& object, const std::string& where) {
    std::map<int, unsigned char> bytes;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::string path = Path(where, it.key().c_str());
        const std::string& key = it.key();
        bool digits = !key.empty() && key.size() <= 4 &&
                      key.find_first_not_of("0123456789") == std::string::npos;
        long index = digits ? std::strtol(key.c_str(), nullptr, 10) : -1;
        if (index < 0 || index > 1023) {
            Fail(path, "must be a byte index within 0..1023");
        }
        bytes[static_cast<int>(index)] = static_cast<unsigned char>(CheckedInt(*it, 0, 255, path));
    }
    return bytes;
}

void ParseSide(const json& object, const char* key, const std::string& where, int& main, int& sub,
               int* endOfPage) {
    const json& side = Object(object, key, where);
    std::string path = Path(where, key);
    if (endOfPage != nullptr) {
        CheckKeys(side, {"main", "sub", "endOfPage"}, path);
    } else {
        CheckKeys(side, {"main", "sub"}, path);
    }
    main = Int(side, "main", path);
    sub = Int(side, "sub", path);
    if (endOfPage != nullptr) {
        *endOfPage = Int(side, "endOfPage", path);
    }
}

Offsets ParseOffsets(const json& object, const std::string& where) {
    CheckKeys(object,
              {"supported", "flatbed", "endOfPage", "byte41", "adfFront", "adfBack",
               "flatbedOffsets", "adfMagnification", "flatbedMagnification"},
              where);
    Offsets o;
    o.bSupported = Bool(object, "supported", false, where);
    // "flatbed" is the flag, with the flatbed offsets in "flatbedOffsets"; an object under
    // "flatbed" stands for both: a flatbed with these offsets.
    const json* flatbed = Find(object, "flatbed");
    if (flatbed != nullptr && flatbed->is_object()) {
        o.bFlatbed = true;
        ParseSide(object, "flatbed", where, o.iFbMain, o.iFbSub, nullptr);
    } else {
        o.bFlatbed = Bool(object, "flatbed", false, where);
        ParseSide(object, "flatbedOffsets", where, o.iFbMain, o.iFbSub, nullptr);
    }
    o.bEndOfPage = Bool(object, "endOfPage", false, where);
    o.iByte41 = Int(object, "byte41", where, 0, 255);
    ParseSide(object, "adfFront", where, o.iAdfFrontMain, o.iAdfFrontSub, &o.iAdfFrontEndOfPage);
    ParseSide(object, "adfBack", where, o.iAdfBackMain, o.iAdfBackSub, &o.iAdfBackEndOfPage);
    o.iAdfMagnification = Int(object, "adfMagnification", where);
    o.iFbMagnification = Int(object, "flatbedMagnification", where);
    return o;
}

void ParsePower(const json& object, const std::string& where, Scanner& s) {
    const json& sleep = Object(object, "sleepTimer", where);
    std::string sleepPath = Path(where, "sleepTimer");
    CheckKeys(sleep, {"supported", "minStep", "maxStep", "step"}, sleepPath);
    s.bSleepSupported = Bool(sleep, "supported", false, sleepPath);
    s.iSleepMinStep = Int(sleep, "minStep", sleepPath);
    s.iSleepMaxStep = Int(sleep, "maxStep", sleepPath);
    s.iSleepStep = Int(sleep, "step", sleepPath);
    const json& off = Object(object, "powerOff", where);
    std::string offPath = Path(where, "powerOff");
    CheckKeys(off, {"supported", "active", "setting"}, offPath);
    s.bPowerOffSupported = Bool(off, "supported", false, offPath);
    s.bPowerOffActive = Bool(off, "active", false, offPath);
    s.iPowerOffSetting = Int(off, "setting", offPath);
}

}  // namespace

Scanner ParseScanner(const json& object) {
    if (!object.is_object()) {
        Fail("scanners[]", "must hold objects");
    }
    Scanner s;
    s.name = Text(object, "name", "scanners[]");
    if (Find(object, "name") == nullptr) {
        Fail("scanners[].name", "is required");
    }
    std::string where = "scanners[" + s.name + "]";
    CheckKeys(object,
              {"name", "attached", "firmware", "inquiry", "identification", "totals", "counters",
               "sleepTimer", "powerOff", "offsets", "lastError", "faults"},
              where);
    s.bAttached = Bool(object, "attached", true, where);
    s.firmware = Text(object, "firmware", where);
    s.inquiry = ParseInquiry(Object(object, "inquiry", where), Path(where, "inquiry"));
    const json& id = Object(object, "identification", where);
    std::string idPath = Path(where, "identification");
    CheckKeys(id, {"productId", "revision", "initialUse", "serialNumber"}, idPath);
    s.productId = Text(id, "productId", idPath);
    s.revision = Text(id, "revision", idPath);
    s.initialUse = Text(id, "initialUse", idPath);
    s.serialNumber = Text(id, "serialNumber", idPath);
    const json& totals = Object(object, "totals", where);
    CheckKeys(totals, {"adf", "flatbed", "hasFlatbed"}, Path(where, "totals"));
    s.iAdfTotal = Int(totals, "adf", Path(where, "totals"));
    s.iFbTotal = Int(totals, "flatbed", Path(where, "totals"));
    s.bHasFlatbed = Bool(totals, "hasFlatbed", false, Path(where, "totals"));
    const json& counters = Object(object, "counters", where);
    std::string countersPath = Path(where, "counters");
    CheckKeys(counters, {"cleaning", "roller", "pick"}, countersPath);
    s.cleaning = ParseCounter(counters, "cleaning", countersPath);
    s.roller = ParseCounter(counters, "roller", countersPath);
    s.pick = ParseCounter(counters, "pick", countersPath);
    ParsePower(object, where, s);
    s.offsets = ParseOffsets(Object(object, "offsets", where), Path(where, "offsets"));
    s.iLastError = Int(object, "lastError", where);
    s.faults = ParseFaults(Object(object, "faults", where), Path(where, "faults"));
    return s;
}

Fleet ParseFleet(const json& document) {
    if (!document.is_object()) {
        Fail("(top level)", "must be an object");
    }
    CheckKeys(document, {"faults", "scanners"}, "(top level)");
    Fleet fleet;
    fleet.faults = ParseFaults(Object(document, "faults", ""), "faults");
    const json* scanners = Find(document, "scanners");
    if (scanners != nullptr && !scanners->is_array()) {
        Fail("scanners", "must be an array");
    }
    if (scanners != nullptr) {
        for (const json& object : *scanners) {
            fleet.scanners.push_back(ParseScanner(object));
        }
    }
    return fleet;
}

Fleet LoadFleet(const std::string& path, std::string& error) {
    error.clear();
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the fleet file " + path;
        return Fleet();
    }
    try {
        return ParseFleet(json::parse(file));
    } catch (const std::exception& e) {
        error = "malformed fleet file " + path + ": " + e.what();
    }
    return Fleet();
}

std::string FleetPath() {
    const char* chosen = std::getenv("ORVEX_SIM_FLEET");
    if (chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FleetPath), &info) == 0 || info.dli_fname == nullptr) {
        return "simfleet.json";
    }
    std::string self = info.dli_fname;
    size_t slash = self.rfind('/');
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
           "simfleet.json";
}

std::string ResolveFleetPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return path;
    }
    std::string resolved = real;
    std::free(real);
    return resolved;
}

}  // namespace sim
