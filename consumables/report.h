// The status companion's model of a scanner, built from its three records.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "consumables/report_view.h"

/// One consumable counter as the scanner reports it.
struct report_counter {
    ConsumableKind eKind;
    std::string strLabel;  // the library's label text, e.g. "Pick Roller:"
    int32_t iSheets;
    bool bHasSecondMark;  // the after-cleaning counter has a first mark only
    bool bFirstMark;      // "(*)": a mark the scanner sets; its thresholds are the scanner's own
    bool bSecondMark;     // "(**)"
    bool bClearable;      // the label is the one that the counter's clear option asks for
};

/// Offsets of one side, in steps of 0.5 mm.
struct report_offsets {
    int32_t iMain;
    int32_t iSub;
    int32_t iEndOfPage;
};

/// Everything the report shows; texts are cut at the end of their fields.
struct report_model {
    std::string strProductId;
    std::string strRevision;
    bool bShowsInitialUse;  // only some models carry a meaningful date of first use
    std::string strInitialUse;
    std::string strSerialNumber;
    int32_t iAdfTotal;
    bool bHasFlatbed;
    int32_t iFbTotal;
    std::vector<report_counter> vCounters;  // in report order: cleaning, roller, pick
    bool bPowerSaveSupported;
    long long llSleepMinutes;  // a step beyond the largest is reported as the largest
    bool bPowerOffSupported;
    bool bPowerOffActive;
    int32_t iPowerOffSetting;  // 0..3: 1, 2, 4, 8 hours; anything else is unknown
    bool bHasOffsets;
    bool bHasEndOfPage;       // ADF end-of-page offsets
    bool bHasFlatbedOffsets;  // flatbed offsets and magnification
    report_offsets stAdfFront;
    report_offsets stAdfBack;
    report_offsets stFlatbed;   // iEndOfPage unused
    int32_t iAdfMagnification;  // tenths of a percent
    int32_t iFbMagnification;
};

/// Builds the report model from a scanner's records.
report_model BuildReport(const device_snapshot& snapshot);

/// The hours of a power-off setting code (1, 2, 4, 8); 0 for a code outside 0..3.
int PowerOffHours(int32_t code);

/// The stable id of a consumable ("after_cleaning", "brake_roller", "roller_set", "pad",
/// "roller", "pick_roller").
const char* ConsumableId(ConsumableKind kind);

/// The tool's option that clears the counter ("--pick-roller-clear"), or "" when it has none.
std::string ClearOptionOf(const report_counter& counter);
