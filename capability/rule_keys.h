// The profile-key lists and constant lists that the capability rules are built from.
// Each lookup is {key, field, default}; each constant {field, value}.
#pragma once

#include <cstddef>

#include "capability/rule_table.h"

namespace rule_data {

using B = CDevSet2Builder;

template <size_t N>
constexpr KeyList Keys(const ProfileKey (&keys)[N]) {
    return {keys, N};
}

template <size_t N>
constexpr ConstantList Constants(const FieldValue (&values)[N]) {
    return {values, N};
}

// The base list: ten keys, all default 1.
inline constexpr ProfileKey kBaseKeys[] = {
    {"DEVSET_DOUBLEFEED", &B::bDoubleFeed, 1},
    {"DEVSET_DELFRAME_ADF", &B::bDelFrameAdf, 1},
    {"DEVSET_DROPOUTCOLOR", &B::bDropoutColor, 1},
    {"DEVSET_PREPICK", &B::bPrePick, 1},
    {"DEVSET_SENSOR_POSITION", &B::bSensorPosition, 1},
    {"DEVSET_MF_IGNORE", &B::bMfIgnore, 1},
    {"DEVSET_PICKRETRY", &B::bPickRetry, 1},
    {"DEVSET_ADDR_SET", &B::bAddrSet, 1},
    {"DEVSET_ADDR_PICKROLLER", &B::bAddrPickRoller, 1},
    {"DEVSET_ADDR_BRAKEROLLER", &B::bAddrBrakeRoller, 1},
};
inline constexpr KeyList kBaseList = Keys(kBaseKeys);
static_assert(kBaseList.uiCount == 10);

// The long list of the Ko-150, Ko-160 and Ko-440 families: TABCROP and TABCROP_VRS go into the
// first pair of tab-crop fields.
inline constexpr ProfileKey kLongKeys[] = {
    {"DEVSET_DOUBLEFEED", &B::bDoubleFeed, 1},
    {"DEVSET_DELFRAME_ADF", &B::bDelFrameAdf, 1},
    {"DEVSET_DROPOUTCOLOR", &B::bDropoutColor, 1},
    {"DEVSET_PREPICK", &B::bPrePick, 1},
    {"DEVSET_AUTOCROP_FRAME", &B::bAutoCropFrame, 1},
    {"DEVSET_SENSOR_POSITION", &B::bSensorPosition, 1},
    {"DEVSET_MF_IGNORE", &B::bMfIgnore, 1},
    {"DEVSET_MF_SCAN", &B::bMfScan, 1},
    {"DEVSET_PICKRETRY", &B::bPickRetry, 1},
    {"DEVSET_PANEL_SETTING", &B::bPanelSetting, 1},
    {"DEVSET_MANUALFEED_MF", &B::bManualFeedMf, 1},
    {"DEVSET_ADDR_SET", &B::bAddrSet, 1},
    {"DEVSET_ADDR_PICKROLLER", &B::bAddrPickRoller, 1},
    {"DEVSET_ADDR_BRAKEROLLER", &B::bAddrBrakeRoller, 1},
    {"DEVSET_ADDR_SEPPAD", &B::bAddrSepPad, 1},
    {"DEVSET_ADDR_SEPROLLER", &B::bAddrSepRoller, 1},
    {"DEVSET_OVERSCANPLUS", &B::bOverscanPlus, 1},
    {"DEVSET_TATESUJIJOKYO", &B::bTatesujiJokyo, 0},
    {"DEVSET_THINPAPER2", &B::bThinPaper2, 1},
    {"DEVSET_JAM_DETECTION", &B::bJamDetection, 1},
    {"DEVSET_SMALLPAPER_MODE", &B::bSmallPaperMode, 0},
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1},
    {"DEVSET_INTERFACE", &B::bInterface, 0},
    {"DEVSET_SCSI_BUS_WIDTH", &B::bScsiBusWidth, 1},
    {"DEVSET_COLOER_DETECTION", &B::bColorDetection, 1},
    {"DEVSET_STACKER", &B::bStacker, 0},
    {"DEVSET_SKEW_DETECTION", &B::bSkewDetection, 0},
    {"DEVSET_ALARM", &B::bAlarm, 1},
    {"DEVSET_SKEW_JAM_DETECTION", &B::bSkewJamDetection, 1},
    {"DEVSET_SELECT_INPRINTER", &B::bSelectInprinter, 1},
    {"DEVSET_MANUAL_TIMEOUT", &B::bManualTimeout, 1},
    {"DEVSET_SOFTPICK", &B::bSoftPick, 1},
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_TABCROP", &B::bTabCrop, 1},
    {"DEVSET_TABCROP_VRS", &B::bTabCropVrs, 1},
    {"DEVSET_DENSE_BACKGROUND", &B::bDenseBackground, 1},
    {"DEVSET_OVERUNDERCROP", &B::bOverUnderCrop, 1},
};
inline constexpr KeyList kLongList = Keys(kLongKeys);
static_assert(kLongList.uiCount == 37);

// Single keys added after a shared list.
inline constexpr ProfileKey kDelFrameFb0Keys[] = {{"DEVSET_DELFRAME_FB", &B::bDelFrameFb, 0}};
inline constexpr KeyList kDelFrameFb0 = Keys(kDelFrameFb0Keys);
inline constexpr ProfileKey kDelFrameFb1Keys[] = {{"DEVSET_DELFRAME_FB", &B::bDelFrameFb, 1}};
inline constexpr KeyList kDelFrameFb1 = Keys(kDelFrameFb1Keys);
inline constexpr ProfileKey kAutoCropBoundaryKeys[] = {
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1}};
inline constexpr KeyList kAutoCropBoundary = Keys(kAutoCropBoundaryKeys);
inline constexpr ProfileKey kKouchiModeKeys[] = {{"DEVSET_KOUCHIMODE", &B::bKouchiMode, 1}};
inline constexpr KeyList kKouchiMode = Keys(kKouchiModeKeys);
inline constexpr ProfileKey kJpegCompression0Keys[] = {
    {"DEVSET_JPEGCOMPRESSION", &B::bJpegCompression, 0}};
inline constexpr KeyList kJpegCompression0 = Keys(kJpegCompression0Keys);

// ko-550/650/540/640 after DELFRAME_FB, and ko-720 right after the base list.
inline constexpr ProfileKey kKo550AddedKeys[] = {
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_MAINTENANCE_TERMS", &B::bMaintenanceTerms, 1},
    {"DEVSET_TATESUJIDETECTION", &B::bTatesujiDetection, 1},
    {"DEVSET_TATESUJILEVEL", &B::bTatesujiLevel, 1},
    {"DEVSET_PICKSPEED", &B::bPickSpeed, 1},
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1},
    {"DEVSET_KOUCHIMODE", &B::bKouchiMode, 1},
};
inline constexpr KeyList kKo550Added = Keys(kKo550AddedKeys);

// ko-530/630 after DELFRAME_FB.
inline constexpr ProfileKey kKo530AddedKeys[] = {
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_TATESUJIDETECTION", &B::bTatesujiDetection, 1},
    {"DEVSET_TATESUJILEVEL", &B::bTatesujiLevel, 1},
    {"DEVSET_PICKSPEED", &B::bPickSpeed, 1},
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1},
    {"DEVSET_KOUCHIMODE", &B::bKouchiMode, 1},
};
inline constexpr KeyList kKo530Added = Keys(kKo530AddedKeys);

// ko-510 after the base list (which it takes without PREPICK).
inline constexpr ProfileKey kKo510AddedKeys[] = {
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_TATESUJIDETECTION", &B::bTatesujiDetection, 1},
    {"DEVSET_TATESUJILEVEL", &B::bTatesujiLevel, 1},
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1},
    {"DEVSET_KOUCHIMODE", &B::bKouchiMode, 1},
};
inline constexpr KeyList kKo510Added = Keys(kKo510AddedKeys);

inline constexpr ProfileKey kKo120K2Keys[] = {
    {"DEVSET_SENSOR_POSITION", &B::bSensorPosition, 1},
};
inline constexpr KeyList kKo120K2List = Keys(kKo120K2Keys);

inline constexpr ProfileKey kKo90GKeys[] = {
    {"DEVSET_DELFRAME_FB", &B::bDelFrameFb, 1},
    {"DEVSET_DROPOUTCOLOR", &B::bDropoutColor, 1},
};
inline constexpr KeyList kKo90GList = Keys(kKo90GKeys);

// Section "ko-140", shared by the ko-130 and ko-140 families.
inline constexpr ProfileKey kKo130Keys[] = {
    {"DEVSET_DOUBLEFEED", &B::bDoubleFeed, 1},
    {"DEVSET_DELFRAME_ADF", &B::bDelFrameAdf, 1},
    {"DEVSET_DROPOUTCOLOR", &B::bDropoutColor, 1},
    {"DEVSET_PREPICK", &B::bPrePick, 1},
    {"DEVSET_DELFRAME_FB", &B::bDelFrameFb, 1},
    {"DEVSET_ENDORSER_ONOFF", &B::bEndorserOnOff, 1},
    {"DEVSET_ENDORSER_DIGIT", &B::bEndorserDigit, 1},
    {"DEVSET_ENDORSER_INITIAL", &B::bEndorserInitial, 1},
    {"DEVSET_ENDORSER_EMPTYRESET", &B::bEndorserEmptyReset, 1},
    {"DEVSET_FB_FINE", &B::bFbFine, 0},
    {"DEVSET_THINPAPER", &B::bThinPaper, 0},
    {"DEVSET_AUTOCROP", &B::bAutoCrop, 1},
};
inline constexpr KeyList kKo130List = Keys(kKo130Keys);

// Ko-430H and Ko-410H: TABCROP_VRS goes into the second pair of tab-crop fields.
inline constexpr ProfileKey kKo430HKeys[] = {
    {"DEVSET_DOUBLEFEED", &B::bDoubleFeed, 1},
    {"DEVSET_SENSOR_POSITION", &B::bSensorPosition, 1},
    {"DEVSET_MF_IGNORE", &B::bMfIgnore, 1},
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_ADDR_SET", &B::bAddrSet, 1},
    {"DEVSET_ADDR_PICKROLLER", &B::bAddrPickRoller, 1},
    {"DEVSET_ADDR_BRAKEROLLER", &B::bAddrBrakeRoller, 1},
    {"DEVSET_SCSI_BUS_WIDTH", &B::bScsiBusWidth, 1},
    {"DEVSET_TABCROP_VRS", &B::bTabCropVrs2, 1},
    {"DEVSET_DENSE_BACKGROUND", &B::bDenseBackground, 1},
    {"DEVSET_OVERUNDERCROP", &B::bOverUnderCrop, 1},
    {"DEVSET_JPEGCOMPRESSION", &B::bJpegCompression, 0},
};
inline constexpr KeyList kKo430HList = Keys(kKo430HKeys);

// ko-430, ko-420 and ko-410: TABCROP goes into the second pair of tab-crop fields.
inline constexpr ProfileKey kKo430Keys[] = {
    {"DEVSET_DOUBLEFEED", &B::bDoubleFeed, 1},
    {"DEVSET_DELFRAME_ADF", &B::bDelFrameAdf, 1},
    {"DEVSET_DELFRAME_FB", &B::bDelFrameFb, 1},
    {"DEVSET_DROPOUTCOLOR", &B::bDropoutColor, 1},
    {"DEVSET_PREPICK", &B::bPrePick, 1},
    {"DEVSET_SENSOR_POSITION", &B::bSensorPosition, 1},
    {"DEVSET_MF_IGNORE", &B::bMfIgnore, 1},
    {"DEVSET_CLEANING_TERMS", &B::bCleaningTerms, 1},
    {"DEVSET_ADDR_SET", &B::bAddrSet, 1},
    {"DEVSET_ADDR_PICKROLLER", &B::bAddrPickRoller, 1},
    {"DEVSET_ADDR_BRAKEROLLER", &B::bAddrBrakeRoller, 1},
    {"DEVSET_AUTOCROP_BOUNDARY", &B::bAutoCropBoundary, 1},
    {"DEVSET_TABCROP", &B::bTabCrop2, 1},
    {"DEVSET_JPEGCOMPRESSION", &B::bJpegCompression, 0},
};
inline constexpr KeyList kKo430List = Keys(kKo430Keys);

// Constants, written after the lookups.
inline constexpr FieldValue kFlags33_46_47_48[] = {
    {&B::bFlag33, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag48, 1}};
inline constexpr FieldValue kFlags33_46_47_48_73[] = {
    {&B::bFlag33, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag48, 1}, {&B::bFlag73, 1}};
inline constexpr FieldValue kFlags46_47[] = {{&B::bFlag46, 1}, {&B::bFlag47, 1}};
inline constexpr FieldValue kFlag47[] = {{&B::bFlag47, 1}};
inline constexpr FieldValue kFlag75[] = {{&B::bFlag75, 1}};
inline constexpr FieldValue kFlags34_46_47_49_73[] = {
    {&B::bFlag34, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag49, 1}, {&B::bFlag73, 1}};
inline constexpr FieldValue kFlags34_46_47_49[] = {
    {&B::bFlag34, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag49, 1}};
inline constexpr FieldValue kKo720Constants[] = {
    {&B::bFlag34, 1}, {&B::bFlag47, 1}, {&B::bFlag49, 1}, {&B::bFlag70, 1},
    {&B::bFlag75, 1}, {&B::bFlag77, 1}, {&B::bFlag78, 1}};
inline constexpr FieldValue kFlags46_47_75[] = {
    {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag75, 1}};
inline constexpr FieldValue kKo150Constants[] = {
    {&B::bFlag68, 0}, {&B::bFlag69, 0}, {&B::bFlag70, 0}, {&B::bFlag71, 0}};
inline constexpr FieldValue kKo160Constants[] = {{&B::bAutoCropBoundary, 0},
                                                 {&B::bFlag68, 1},
                                                 {&B::bFlag69, 1},
                                                 {&B::bFlag70, 1},
                                                 {&B::bFlag71, 1}};
inline constexpr FieldValue kKo440Constants[] = {
    {&B::bMfScan, 0}, {&B::bDenseBackground, 0},  {&B::bFlag60, 0},    {&B::bFlag64, 0},
    {&B::bFlag67, 0}, {&B::bFlag72, 0},           {&B::bFlag33, 1},    {&B::bFlag48, 1},
    {&B::bFlag70, 1}, {&B::bMaintenanceTerms, 1}, {&B::bPickSpeed, 1},
};
inline constexpr FieldValue kKo430HConstants[] = {
    {&B::bPickRetry, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag56, 1}};
inline constexpr FieldValue kKo430Constants[] = {
    {&B::bPickRetry, 1}, {&B::bFlag46, 1}, {&B::bFlag47, 1}, {&B::bFlag56, 1}, {&B::bFlag70, 1}};
inline constexpr FieldValue kTarvo4MbConstants[] = {
    {&B::bDelFrameFb, 0},     {&B::bDoubleFeed, 1},      {&B::bDelFrameAdf, 1},
    {&B::bDropoutColor, 1},   {&B::bPrePick, 1},         {&B::bSensorPosition, 1},
    {&B::bMfIgnore, 1},       {&B::bPickRetry, 1},       {&B::bAddrSet, 1},
    {&B::bAddrPickRoller, 1}, {&B::bAddrBrakeRoller, 1}, {&B::bAutoCropBoundary, 1},
    {&B::bKouchiMode, 1},     {&B::bFlag33, 1},          {&B::bFlag46, 1},
    {&B::bFlag47, 1},         {&B::bFlag48, 1},
};
inline constexpr FieldValue kTarvo4MbFbConstants[] = {
    {&B::bDelFrameFb, 1},     {&B::bDoubleFeed, 1},      {&B::bDelFrameAdf, 1},
    {&B::bDropoutColor, 1},   {&B::bPrePick, 1},         {&B::bSensorPosition, 1},
    {&B::bMfIgnore, 1},       {&B::bPickRetry, 1},       {&B::bAddrSet, 1},
    {&B::bAddrPickRoller, 1}, {&B::bAddrBrakeRoller, 1}, {&B::bAutoCropBoundary, 1},
    {&B::bKouchiMode, 1},     {&B::bFlag33, 1},          {&B::bFlag46, 1},
    {&B::bFlag47, 1},         {&B::bFlag48, 1},
};
inline constexpr FieldValue kR800Constants[] = {
    {&B::bDoubleFeed, 1},       {&B::bDelFrameAdf, 1},    {&B::bDropoutColor, 1},
    {&B::bSensorPosition, 1},   {&B::bMfIgnore, 1},       {&B::bPickRetry, 1},
    {&B::bAddrSet, 1},          {&B::bAddrPickRoller, 1}, {&B::bAddrBrakeRoller, 1},
    {&B::bAutoCropBoundary, 1}, {&B::bKouchiMode, 1},
};

}  // namespace rule_data
