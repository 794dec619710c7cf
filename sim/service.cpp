// Per-process state of a service library: the fleet loaded once, and the texts handed out.
#include "sim/service.h"

#include <memory>
#include <set>

namespace sim {

namespace {

std::unique_ptr<Fleet>& LoadedFleet() {
    static std::unique_ptr<Fleet> fleet;
    return fleet;
}

}  // namespace

const Fleet& TheFleet() {
    std::unique_ptr<Fleet>& fleet = LoadedFleet();
    if (!fleet) {
        std::string error;
        fleet = std::make_unique<Fleet>(LoadFleet(FleetPath(), error));
        if (!error.empty()) {
            Diagnose(error);
        }
    }
    return *fleet;
}

void ReplaceScanner(const Scanner& written) {
    TheFleet();
    for (Scanner& scanner : LoadedFleet()->scanners) {
        if (scanner.name == written.name) {
            scanner = written;
        }
    }
}

const Scanner* FindAttached(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Scanner& scanner : TheFleet().scanners) {
        if (scanner.bAttached && scanner.name == name) {
            return &scanner;
        }
    }
    return nullptr;
}

const Scanner* AttachedAt(int index) {
    for (const Scanner& scanner : TheFleet().scanners) {
        if (scanner.bAttached && index-- == 0) {
            return &scanner;
        }
    }
    return nullptr;
}

int CountAttached() {
    int count = 0;
    for (const Scanner& scanner : TheFleet().scanners) {
        count += scanner.bAttached ? 1 : 0;
    }
    return count;
}

const char* KeepText(const std::string& text) {
    static std::set<std::string> kept;
    return kept.insert(text).first->c_str();
}

bool Faulted(const Scanner* scanner, const char* entryPoint, int& result, FleetUse use) {
    if (use == FleetUse::kIfLoaded && scanner == nullptr && !LoadedFleet()) {
        return false;
    }
    const FaultRule* rule = TakeFault(TheFleet(), scanner, entryPoint);
    if (rule == nullptr) {
        return false;
    }
    SleepMs(rule->iDelayMs);
    if (rule->bHasResult) {
        result = rule->iResult;
    }
    return rule->bHasResult;
}

void ResetService() {
    LoadedFleet().reset();
    ResetOnceFaults();
    ResetTraceWarning();
}

}  // namespace sim
