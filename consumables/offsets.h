// Offset and magnification settings of an open scanner.
#pragma once

#include "consumables/command.h"
#include "session/session.h"

/// Merges the requested offsets and magnifications into the session's offset record and writes it
/// whole; on a refusal writes the previous record back once and returns false.
bool SetOffsetData(device_session* session, velnor_command_info record);
