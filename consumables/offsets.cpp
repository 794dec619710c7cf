// Offset and magnification settings.
#include "consumables/offsets.h"

#include <cstdint>

#include "access/binding.h"

// Where one requested offset goes. Columns: the group bit of uiOffsetGroups and the group's
// request; the uiSet bit of the value; the value in the request; its field in offset_data; whether
// the field exists only when the device reports end-of-page offsets. The flatbed has no
// end-of-page row.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding): columns in their documented order
struct OffsetField {
    uint32_t uiGroup;
    offset_request velnor_command_info::*pRequest;
    uint32_t uiSetBit;
    int32_t offset_request::*piRequested;
    int32_t offset_data::*piField;
    bool bEndOfPage;
};

static const OffsetField kOffsetFields[] = {
    {kGroupAdfFront, &velnor_command_info::stAdfFront, kOffsetMain, &offset_request::iMain,
     &offset_data::iAdfFrontMain, false},
    {kGroupAdfFront, &velnor_command_info::stAdfFront, kOffsetSub, &offset_request::iSub,
     &offset_data::iAdfFrontSub, false},
    {kGroupAdfFront, &velnor_command_info::stAdfFront, kOffsetEndOfPage,
     &offset_request::iEndOfPage, &offset_data::iAdfFrontEndOfPage, true},
    {kGroupAdfBack, &velnor_command_info::stAdfBack, kOffsetMain, &offset_request::iMain,
     &offset_data::iAdfBackMain, false},
    {kGroupAdfBack, &velnor_command_info::stAdfBack, kOffsetSub, &offset_request::iSub,
     &offset_data::iAdfBackSub, false},
    {kGroupAdfBack, &velnor_command_info::stAdfBack, kOffsetEndOfPage, &offset_request::iEndOfPage,
     &offset_data::iAdfBackEndOfPage, true},
    {kGroupFlatbed, &velnor_command_info::stFlatbed, kOffsetMain, &offset_request::iMain,
     &offset_data::iFbMain, false},
    {kGroupFlatbed, &velnor_command_info::stFlatbed, kOffsetSub, &offset_request::iSub,
     &offset_data::iFbSub, false},
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
static void MergeRequest(const velnor_command_info& record, offset_data* offsets) {
    for (const OffsetField& field : kOffsetFields) {
        const offset_request& request = record.*field.pRequest;
        if ((record.uiOffsetGroups & field.uiGroup) == 0 || (request.uiSet & field.uiSetBit) == 0) {
            continue;
        }
        if (field.bEndOfPage && offsets->bEndOfPage == 0) {
            continue;
        }
        offsets->*field.piField = request.*field.piRequested;
    }
    for (const MagnificationField& field : kMagnificationFields) {
        if ((record.uiRequest & field.uiRequestBit) != 0) {
            offsets->*field.piField = record.*field.piRequested;
        }
    }
}

// cppcheck-suppress passedByValue ; like every change operation it takes a copy of the record
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
