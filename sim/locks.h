// The lock file beside the fleet file: one byte per scanner for exclusive access, and byte 0 for
// writers of the fleet file. Open-file-description locks, so that two claims conflict whether
// they come from two processes or from one.
#pragma once

#include <string>

namespace sim {

/// The lock file that belongs to a fleet file.
std::string LockPathFor(const std::string& fleetPath);

/// Takes exclusive access to the scanner at position slot (0-based) of the fleet file without
/// waiting; true when taken, or when this process holds the claim on that name already (a child
/// process does not hold its parent's claims).
bool ClaimScanner(const std::string& fleetPath, const std::string& name, int slot);

/// Ends this process's claim on name; false when it held none.
bool ReleaseScanner(const std::string& name);

/// Ends every claim of this process (tests).
void ReleaseAllScanners();

/// Waits for the writer lock of the fleet file; returns its descriptor (close it to release), or
/// -1 with errno set.
int LockFleetForWriting(const std::string& fleetPath);

}  // namespace sim
