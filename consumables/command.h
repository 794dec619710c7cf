// The parsed command record that the parser fills and the change operations receive by copy.
#pragma once

#include <cstdint>

// Bits of uiRequest that the offset write reads: the magnifications requested. (The other bits
// of the changes requested are the front end's: it picks the change operations by them.)
constexpr uint32_t kRequestAdfMagnification = 0x100;
constexpr uint32_t kRequestFlatbedMagnification = 0x200;

// Offset groups (uiOffsetGroups bits).
constexpr uint32_t kGroupAdfFront = 0x01;
constexpr uint32_t kGroupAdfBack = 0x02;
constexpr uint32_t kGroupFlatbed = 0x04;

// Bits of offset_request::uiSet: which values were given.
constexpr uint32_t kOffsetMain = 0x01;
constexpr uint32_t kOffsetSub = 0x02;
constexpr uint32_t kOffsetEndOfPage = 0x04;

/// Offsets requested for one group, in units of 0.5 mm.
struct offset_request {
    uint32_t uiSet;
    int32_t iMain;
    int32_t iSub;
    int32_t iEndOfPage;
};

/// What the command line asks for; zero-filled by the driver before parsing.
struct velnor_command_info {
    uint32_t uiRequest;
    const char* cpDeviceName;  // the -d word or the first device's name; not owned
    int32_t iSleepMinutes;
    int32_t iPowerOffCode;
    uint32_t uiClearMask;
    uint32_t uiOffsetGroups;
    offset_request stAdfFront;
    offset_request stAdfBack;
    offset_request stFlatbed;
    int32_t iAdfMagnification;  // tenths of a percent
    int32_t iFlatbedMagnification;
};
