// The command line's session: opens the run's scanner and turns the core's results into the
// tool's messages and exit codes.
#pragma once

#include "capability/devset.h"

/// Opens the run's session on the named device (see OpenSession). Returns 0 when open (also when
/// it already was); -1 after printing the failure message and storing exit code 6 or 7. Each
/// failed firmware fetch of the capability rule prints the firmware error line first.
int OpenWithName(const char* name);

/// Clears the record, then applies the rule of the session's model designation, if it is set and
/// known; prints the firmware error line for each failed fetch.
void GetAvailableFunction(CDevSet2Builder* record);
