// The capability record: one flag per device-setting function of the active scanner model.
#pragma once

#include <cstddef>
#include <cstdint>

/// 80 flags, each 0 or 1, filled by the model's capability rule; a plain record.
struct CDevSet2Builder {
    int32_t bDoubleFeed;          // 0
    int32_t bDelFrameAdf;         // 1
    int32_t bDelFrameFb;          // 2
    int32_t bEndorserOnOff;       // 3
    int32_t bEndorserDigit;       // 4
    int32_t bEndorserInitial;     // 5
    int32_t bEndorserEmptyReset;  // 6
    int32_t bFbFine;              // 7
    int32_t bDropoutColor;        // 8
    int32_t bPrePick;             // 9
    int32_t bThinPaper;           // 10
    int32_t bAutoCrop;            // 11
    int32_t bAutoCropFrame;       // 12
    int32_t bSensorPosition;      // 13
    int32_t iSpare14;             // 14
    int32_t iSpare15;             // 15
    int32_t bMfIgnore;            // 16
    int32_t bMfScan;              // 17
    int32_t bPickRetry;           // 18
    int32_t bPanelSetting;        // 19
    int32_t bManualFeedMf;        // 20
    int32_t bAddrSet;             // 21
    int32_t bAddrPickRoller;      // 22
    int32_t bAddrBrakeRoller;     // 23
    int32_t bAddrSepPad;          // 24
    int32_t bAddrSepRoller;       // 25
    int32_t bOverscanPlus;        // 26
    int32_t bTatesujiDetection;   // 27
    int32_t bTatesujiLevel;       // 28
    int32_t bTatesujiJokyo;       // 29
    int32_t iSpare30;             // 30
    int32_t bThinPaper2;          // 31
    int32_t bJamDetection;        // 32
    int32_t bFlag33;              // 33
    int32_t bFlag34;              // 34
    int32_t bSmallPaperMode;      // 35
    int32_t bAutoCropBoundary;    // 36
    int32_t bInterface;           // 37
    int32_t bScsiBusWidth;        // 38
    int32_t bColorDetection;      // 39
    int32_t bStacker;             // 40
    int32_t bSkewDetection;       // 41
    int32_t bAlarm;               // 42
    int32_t bSkewJamDetection;    // 43
    int32_t bSelectInprinter;     // 44
    int32_t bManualTimeout;       // 45
    int32_t bFlag46;              // 46
    int32_t bFlag47;              // 47
    int32_t bFlag48;              // 48
    int32_t bFlag49;              // 49
    int32_t bSoftPick;            // 50
    int32_t bCleaningTerms;       // 51
    int32_t bTabCrop;             // 52
    int32_t bTabCropVrs;          // 53
    int32_t bDenseBackground;     // 54
    int32_t bOverUnderCrop;       // 55
    int32_t bFlag56;              // 56
    int32_t bTabCrop2;            // 57
    int32_t bTabCropVrs2;         // 58
    int32_t iSpare59;             // 59
    int32_t bFlag60;              // 60
    int32_t iSpare61;             // 61
    int32_t iSpare62;             // 62
    int32_t bMaintenanceTerms;    // 63
    int32_t bFlag64;              // 64
    int32_t bPickSpeed;           // 65
    int32_t iSpare66;             // 66
    int32_t bFlag67;              // 67
    int32_t bFlag68;              // 68
    int32_t bFlag69;              // 69
    int32_t bFlag70;              // 70
    int32_t bFlag71;              // 71
    int32_t bFlag72;              // 72
    int32_t bFlag73;              // 73
    int32_t bKouchiMode;          // 74
    int32_t bFlag75;              // 75
    int32_t bJpegCompression;     // 76
    int32_t bFlag77;              // 77
    int32_t bFlag78;              // 78
    int32_t iSpare79;             // 79
};

static_assert(sizeof(CDevSet2Builder) == 320, "80 fields of 32 bits");
static_assert(offsetof(CDevSet2Builder, bDoubleFeed) == 0);
static_assert(offsetof(CDevSet2Builder, bSensorPosition) == 52);
static_assert(offsetof(CDevSet2Builder, bPickRetry) == 72);
static_assert(offsetof(CDevSet2Builder, bAutoCropBoundary) == 144);
static_assert(offsetof(CDevSet2Builder, bColorDetection) == 156);
static_assert(offsetof(CDevSet2Builder, bTabCrop) == 208);
static_assert(offsetof(CDevSet2Builder, bTabCrop2) == 228);
static_assert(offsetof(CDevSet2Builder, bMaintenanceTerms) == 252);
static_assert(offsetof(CDevSet2Builder, bFlag72) == 288);
static_assert(offsetof(CDevSet2Builder, bFlag75) == 300);
static_assert(offsetof(CDevSet2Builder, iSpare79) == 316);
