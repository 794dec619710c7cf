// Fault rules: lookup with the scanner's rules over the fleet's, "once" bookkeeping, delays.
#include "sim/faults.h"

#include <cerrno>
#include <ctime>
#include <set>
#include <string>

namespace sim {

namespace {

// The "once" rules already used in this process, as "<scanner name or empty>/<entry point>".
std::set<std::string>& UsedOnce() {
    static std::set<std::string> used;
    return used;
}

const FaultRule* Lookup(const FaultTable& table, const char* entryPoint) {
    auto it = table.find(entryPoint);
    return it == table.end() ? nullptr : &it->second;
}

}  // namespace

const FaultRule* TakeFault(const Fleet& fleet, const Scanner* scanner, const char* entryPoint) {
    const FaultRule* rule = scanner == nullptr ? nullptr : Lookup(scanner->faults, entryPoint);
    std::string scope = rule == nullptr ? std::string() : scanner->name;
    if (rule == nullptr) {
        rule = Lookup(fleet.faults, entryPoint);
    }
    if (rule == nullptr || !rule->bOnce) {
        return rule;
    }
    return UsedOnce().insert(scope + "/" + entryPoint).second ? rule : nullptr;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void ResetOnceFaults() {
    UsedOnce().clear();
}

}  // namespace sim
