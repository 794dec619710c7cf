// Offset and magnification settings.
#include "consumables/offsets.h"

#include <cstdint>

// Option codes are taken relative to '7'; bit n of a mask stands for the code '7' + n.
static const int kFirstOffsetCode = '7';
static const int kLastOffsetBit = 50;

struct OffsetGroupMask {
    uint64_t ullCodes;
    int iGroup;
};

// Tested in this order: flatbed 'g' 'i', ADF back 'a' 'e' 'f', ADF front '7' '8' '9'.
static const OffsetGroupMask kGroupMasks[] = {
    {(1ULL << 48) | (1ULL << 50), kGroupFlatbed},
    {(1ULL << 42) | (1ULL << 46) | (1ULL << 47), kGroupAdfBack},
    {(1ULL << 0) | (1ULL << 1) | (1ULL << 2), kGroupAdfFront},
};

int ConvertSource(int optionCode) {
    int bit = optionCode - kFirstOffsetCode;
    if (bit < 0 || bit > kLastOffsetBit) {
        return -1;
    }
    for (const OffsetGroupMask& mask : kGroupMasks) {
        if ((mask.ullCodes & (1ULL << bit)) != 0) {
            return mask.iGroup;
        }
    }
    return -1;
}

offset_request* GetOffsetInfo(velnor_command_info& record, int group) {
    switch (group) {
        case kGroupAdfFront:
            return &record.stAdfFront;
        case kGroupAdfBack:
            return &record.stAdfBack;
        case kGroupFlatbed:
            return &record.stFlatbed;
        default:
            return nullptr;
    }
}

bool SetOffsetData(velnor_command_info record) {
    (void)record;
    return false;  // TODO(consumables)
}
