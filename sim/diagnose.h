// The simulated service's own complaints (a bad fleet file, an unwritable trace file), apart from
// the per-library state so that the trace and the state can both use them.
#pragma once

#include <unistd.h>

#include <string>

namespace sim {

/// Writes "orvex-sim: <what>" as one line on standard error, with a single write so that the
/// lines of concurrent processes do not mix.
inline void Diagnose(const std::string& what) {
    std::string line = "orvex-sim: " + what + "\n";
    ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    (void)written;  // a complaint that cannot be written has nowhere else to go
}

}  // namespace sim
