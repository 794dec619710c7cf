// Offset and magnification settings.
#include "consumables/offsets.h"

#include <cstdint>

#include "access/binding.h"

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

// Where one requested offset goes. Columns: the group bit of uiOffsetGroups; the uiSet bit of the
// value; the value in the group's request; its field in offset_data; whether the field exists
// only when the device reports end-of-page offsets. The flatbed has no end-of-page row.
struct OffsetField {
    uint32_t uiGroup;
    uint32_t uiSetBit;
    int32_t offset_request::*piRequested;
    int32_t offset_data::*piField;
    bool bEndOfPage;
};

static const OffsetField kOffsetFields[] = {
    {kGroupAdfFront, kOffsetMain, &offset_request::iMain, &offset_data::iAdfFrontMain, false},
    {kGroupAdfFront, kOffsetSub, &offset_request::iSub, &offset_data::iAdfFrontSub, false},
    {kGroupAdfFront, kOffsetEndOfPage, &offset_request::iEndOfPage,
     &offset_data::iAdfFrontEndOfPage, true},
    {kGroupAdfBack, kOffsetMain, &offset_request::iMain, &offset_data::iAdfBackMain, false},
    {kGroupAdfBack, kOffsetSub, &offset_request::iSub, &offset_data::iAdfBackSub, false},
    {kGroupAdfBack, kOffsetEndOfPage, &offset_request::iEndOfPage, &offset_data::iAdfBackEndOfPage,
     true},
    {kGroupFlatbed, kOffsetMain, &offset_request::iMain, &offset_data::iFbMain, false},
    {kGroupFlatbed, kOffsetSub, &offset_request::iSub, &offset_data::iFbSub, false},
};

// Where a requested magnification goes: its uiRequest bit, the value, its field in offset_data.
struct MagnificationField {
    uint32_t uiRequestBit;
    int32_t velnor_command_info::*piRequested;
    int32_t offset_data::*piField;
};

static const MagnificationField kMagnificationFields[] = {
    {kRequestAdfMagnification, &velnor_command_info::iAdfMagnification,
     &offset_data::iAdfMagnification},
    {kRequestFlatbedMagnification, &velnor_command_info::iFlatbedMagnification,
     &offset_data::iFbMagnification},
};

// Copies the requested values into the working copy; every other byte keeps what the device gave.
static void MergeRequest(velnor_command_info& record, offset_data* offsets) {
    for (const OffsetField& field : kOffsetFields) {
        const offset_request* request = GetOffsetInfo(record, static_cast<int>(field.uiGroup));
        if ((record.uiOffsetGroups & field.uiGroup) == 0 ||
            (request->uiSet & field.uiSetBit) == 0) {
            continue;
        }
        if (field.bEndOfPage && offsets->bEndOfPage == 0) {
            continue;
        }
        offsets->*field.piField = request->*field.piRequested;
    }
    for (const MagnificationField& field : kMagnificationFields) {
        if ((record.uiRequest & field.uiRequestBit) != 0) {
            offsets->*field.piField = record.*field.piRequested;
        }
    }
}

bool SetOffsetData(device_session* session, velnor_command_info record) {
    session->stOffSetBackupData = session->stOffSetData;
    MergeRequest(record, &session->stOffSetData);
    if (g_fcpSetOffSetData(&session->stOffSetData) != 0) {
        return true;
    }
    // Put the device back to its previous values; the change has failed whatever this returns.
    g_fcpSetOffSetData(&session->stOffSetBackupData);
    return false;
}
