// The records that the device-control library fills and takes back, at the library's byte offsets.
#pragma once

#include <cstddef>
#include <cstdint>

/// Consumables information, filled by GetArdosaInfo (144 bytes).
struct ardosa_info {
    unsigned char abLibrary0[16];  // the library's own bytes
    int32_t bHasFlatbed;
    unsigned char abLibrary20[4];  // the library's own bytes
    const char* cpRollerLabel;     // "Brake Roller:", "Roller Set:", "Pad:", ...; null: none
    const char* cpPickLabel;       // "Pick Roller:"; null: none
    const char* cpCleaningLabel;   // "After cleaning:"; null: none
    int32_t iAdfTotal;
    int32_t iFbTotal;
    int32_t iRollerCount;
    int32_t iPickCount;
    int32_t iCleaningCount;
    int32_t iSleepMinStep;  // sleep-timer steps are 5 minutes each
    int32_t iSleepMaxStep;
    int32_t iSleepStep;
    int32_t bPowerOffSupported;
    int32_t bPowerSaveSupported;
    int32_t bPowerOffActive;
    int32_t iPowerOffSetting;  // 0 one hour, 1 two hours, 2 four hours, 3 eight hours
    int32_t bRollerMark1;
    int32_t bRollerMark2;
    int32_t bPickMark1;
    int32_t bPickMark2;
    int32_t bCleaningMark1;
    unsigned char abLibrary116[28];  // the library's own bytes
};

/// Device identification, filled by OnInitDialog (656 bytes); texts may lack a terminator.
struct device_info {
    unsigned char abLibrary0[9];  // the library's own bytes
    char szProductId[32];
    char szRevision[5];
    char szInitialUse[42];
    char szSerialNumber[568];  // runs to the end of the record
};

/// Image offsets and magnification adjustments, read by GetOffSetData, written by SetOffSetData.
struct offset_data {
    int32_t iFbMain;  // offsets in units of 0.5 mm
    int32_t iFbSub;
    int32_t iAdfFrontMain;
    int32_t iAdfFrontSub;
    int32_t iAdfBackMain;
    int32_t iAdfBackSub;
    int32_t iAdfFrontEndOfPage;
    int32_t iAdfBackEndOfPage;
    int32_t iFbMagnification;  // magnifications in tenths of a percent
    int32_t iAdfMagnification;
    unsigned char bFlatbed;
    unsigned char bLibrary41;  // the library's own byte, carried unchanged in every copy
    unsigned char bEndOfPage;
    unsigned char bOffsetSupported;
};

static_assert(sizeof(void*) == 8, "the library's records are laid out for a 64-bit process");

static_assert(sizeof(ardosa_info) == 144, "ardosa_info is 144 bytes");
static_assert(offsetof(ardosa_info, bHasFlatbed) == 16);
static_assert(offsetof(ardosa_info, cpRollerLabel) == 24);
static_assert(offsetof(ardosa_info, cpPickLabel) == 32);
static_assert(offsetof(ardosa_info, cpCleaningLabel) == 40);
static_assert(offsetof(ardosa_info, iAdfTotal) == 48);
static_assert(offsetof(ardosa_info, iFbTotal) == 52);
static_assert(offsetof(ardosa_info, iRollerCount) == 56);
static_assert(offsetof(ardosa_info, iPickCount) == 60);
static_assert(offsetof(ardosa_info, iCleaningCount) == 64);
static_assert(offsetof(ardosa_info, iSleepMinStep) == 68);
static_assert(offsetof(ardosa_info, iSleepMaxStep) == 72);
static_assert(offsetof(ardosa_info, iSleepStep) == 76);
static_assert(offsetof(ardosa_info, bPowerOffSupported) == 80);
static_assert(offsetof(ardosa_info, bPowerSaveSupported) == 84);
static_assert(offsetof(ardosa_info, bPowerOffActive) == 88);
static_assert(offsetof(ardosa_info, iPowerOffSetting) == 92);
static_assert(offsetof(ardosa_info, bRollerMark1) == 96);
static_assert(offsetof(ardosa_info, bRollerMark2) == 100);
static_assert(offsetof(ardosa_info, bPickMark1) == 104);
static_assert(offsetof(ardosa_info, bPickMark2) == 108);
static_assert(offsetof(ardosa_info, bCleaningMark1) == 112);
static_assert(offsetof(ardosa_info, abLibrary116) == 116);

static_assert(sizeof(device_info) == 656, "device_info is 656 bytes");
static_assert(offsetof(device_info, szProductId) == 9);
static_assert(offsetof(device_info, szRevision) == 41);
static_assert(offsetof(device_info, szInitialUse) == 46);
static_assert(offsetof(device_info, szSerialNumber) == 88);

static_assert(sizeof(offset_data) == 44, "offset_data is 44 bytes");
static_assert(offsetof(offset_data, iFbMain) == 0);
static_assert(offsetof(offset_data, iFbSub) == 4);
static_assert(offsetof(offset_data, iAdfFrontMain) == 8);
static_assert(offsetof(offset_data, iAdfFrontSub) == 12);
static_assert(offsetof(offset_data, iAdfBackMain) == 16);
static_assert(offsetof(offset_data, iAdfBackSub) == 20);
static_assert(offsetof(offset_data, iAdfFrontEndOfPage) == 24);
static_assert(offsetof(offset_data, iAdfBackEndOfPage) == 28);
static_assert(offsetof(offset_data, iFbMagnification) == 32);
static_assert(offsetof(offset_data, iAdfMagnification) == 36);
static_assert(offsetof(offset_data, bFlatbed) == 40);
static_assert(offsetof(offset_data, bLibrary41) == 41);
static_assert(offsetof(offset_data, bEndOfPage) == 42);
static_assert(offsetof(offset_data, bOffsetSupported) == 43);

/// The sleep timer counts in steps of this many minutes.
constexpr int kMinutesPerSleepStep = 5;

/// The minutes of a sleep-timer step, computed so that no step the library reports overflows.
inline long long MinutesOfSleepStep(int32_t step) {
    return static_cast<long long>(step) * kMinutesPerSleepStep;
}
