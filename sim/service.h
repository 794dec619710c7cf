// The state that one service library keeps in one process: the loaded fleet, texts handed out,
// and the common course of an entry-point call (fault rule, body, trace line).
#pragma once

#include <exception>
#include <string>

#include "sim/diagnose.h"
#include "sim/faults.h"
#include "sim/fleet.h"
#include "sim/trace.h"
#include "sim/trace_format.h"

namespace sim {

/// The fleet of this library, loaded from FleetPath() at first use. A file that cannot be read
/// or parsed gives an empty fleet (no scanner attached) and one line on standard error.
const Fleet& TheFleet();

/// Puts a scanner as just written to the fleet file in place of the loaded one of that name.
void ReplaceScanner(const Scanner& written);

/// The attached scanner of that name (exact, case-sensitive), or null; null for a null name.
const Scanner* FindAttached(const char* name);

/// The attached scanner at that enumeration index, or null.
const Scanner* AttachedAt(int index);

/// The number of attached scanners.
int CountAttached();

/// A copy of text that stays valid until the library is unloaded.
const char* KeepText(const std::string& text);

/// Whether a call loads the fleet to find its fault rules: calls that need no scanner of their own
/// (the device-control library before initlibrary, ending a claim on no device) only look when
/// the fleet is loaded already, so that they never report a bad fleet file a second time.
enum class FleetUse { kLoad, kIfLoaded };

/// Applies the fault rule for a call about scanner (may be null): sleeps its delay, and returns
/// true with result set when its result replaces the call.
bool Faulted(const Scanner* scanner, const char* entryPoint, int& result,
             FleetUse use = FleetUse::kLoad);

/// Forgets the loaded fleet, the used "once" rules and the trace warning, so the next call
/// reloads (tests).
void ResetService();

/// One call of an integer entry point: the fault rule, else body(); the trace line either way.
/// An exception inside gives failure.
template <typename Body>
int RunCall(const char* name, const Scanner* scanner, const std::string& arguments, int failure,
            Body body, FleetUse use = FleetUse::kLoad) {
    int result = failure;
    try {
        if (!Faulted(scanner, name, result, use)) {
            result = body();
        }
    } catch (const std::exception& e) {
        Diagnose(std::string(name) + ": " + e.what());
        result = failure;
    } catch (...) {
        Diagnose(std::string(name) + ": unexpected failure");
        result = failure;
    }
    AppendTrace(name, arguments, trace::Int(result));
    return result;
}

}  // namespace sim
