// The values of the setting options: each kind's conversion, range and place in the command
// record, and the offset groups of the offset options.
#pragma once

#include "cli/option_table.h"

/// The offset group (1 ADF front, 2 ADF back, 4 flatbed) of an offset option's code; -1 otherwise.
int ConvertSource(int optionCode);

/// The group's offset_request inside the record (1, 2 or 4); null for any other group.
offset_request* GetOffsetInfo(velnor_command_info& record, int group);

/// Records the setting option of the row with its value (word: the option as typed): its request
/// bit first, then the value converted and brought into range; a corrected value is reported with
/// the rounding message and exit code 5. False when the value is missing or not convertible.
bool RecordOptionValue(const option_row& row, const char* word, const char* value,
                       velnor_command_info* record);
