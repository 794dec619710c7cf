// Offset and magnification settings.
#include "consumables/offsets.h"

int ConvertSource(int optionCode) {
    (void)optionCode;
    return -1;  // TODO(consumables)
}

offset_request* GetOffsetInfo(velnor_command_info& record, int group) {
    (void)record;
    (void)group;
    return nullptr;  // TODO(consumables)
}

bool SetOffsetData(velnor_command_info record) {
    (void)record;
    return false;  // TODO(consumables)
}
