// Fault injection: which fault rule applies to a call, and the delay it asks for.
#pragma once

#include "sim/fleet.h"

namespace sim {

/// The rule for a call of entryPoint about scanner (null for calls about no scanner), or null when
/// none applies. The scanner's own rule wins over the fleet's; a "once" rule is used up here.
const FaultRule* TakeFault(const Fleet& fleet, const Scanner* scanner, const char* entryPoint);

/// Sleeps milliseconds, resuming with the remaining time when a signal interrupts the sleep.
void SleepMs(int milliseconds);

/// Forgets which "once" rules this process has used up (tests).
void ResetOnceFaults();

}  // namespace sim
