// The lock file beside the fleet file: one byte per scanner name for exclusive access, and byte 0
// for writers of the fleet file. Open-file-description locks, so that two claims conflict whether
// they come from two processes or from one.
#pragma once

#include <string>

namespace sim {

/// The lock file that belongs to a fleet file (give it the resolved path).
std::string LockPathFor(const std::string& fleetPath);

/// Takes exclusive access to the scanner of that name (a byte of the lock file chosen by the name,
/// not by its position, so that reordering the fleet does not free it) without waiting; true when
/// taken, or when this process holds the claim on that name already (a child process does not hold
/// its parent's claims).
bool ClaimScanner(const std::string& fleetPath, const std::string& name);

/// Ends this process's claim on name; false when it held none.
bool ReleaseScanner(const std::string& name);

/// Ends every claim of this process (tests).
void ReleaseAllScanners();

/// Waits for the writer lock of the fleet file (give it the resolved path); returns its descriptor
/// (close it to release), or -1 with errno set.
int LockFleetForWriting(const std::string& fleetPath);

}  // namespace sim
