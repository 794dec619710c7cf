// Offset and magnification settings of an open scanner.
#pragma once

#include "consumables/command.h"
#include "session/session.h"

/// The offset group (1 ADF front, 2 ADF back, 4 flatbed) of an offset option's code; -1 otherwise.
int ConvertSource(int optionCode);

/// The group's offset_request inside the record (1, 2 or 4); null for any other group.
offset_request* GetOffsetInfo(velnor_command_info& record, int group);

/// Merges the requested offsets and magnifications into the session's offset record and writes it
/// whole; on a refusal writes the previous record back once and returns false.
bool SetOffsetData(device_session* session, velnor_command_info record);
