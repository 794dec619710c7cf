// What a scanner reports, built once from its three records: the one source of every output, the
// tool's information report and the fleet front ends' formats alike. A fact the scanner does not
// have is an empty optional; values are in their units.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "consumables/consumables.h"
#include "session/session.h"

/// The marks a scanner sets on a counter, "(*)" the first and "(**)" the second; the thresholds
/// behind them are the scanner's own.
enum class CounterMarks { kNone, kFirst, kSecond, kBoth };

/// One consumable counter.
struct consumable_view {
    ConsumableKind eKind;
    std::string strLabel;  // the library's label text, e.g. "Pick Roller:"
    int32_t iSheets;
    CounterMarks eMarks;
    bool bClearable;  // the label offers the kind's clear option
};

/// The sleep timer: its setting and range, in minutes.
struct sleep_timer_view {
    long long llMinutes;  // a setting beyond the largest is reported as the largest
    long long llMinMinutes;
    long long llMaxMinutes;
};

/// The automatic power-off.
struct power_off_view {
    bool bActive;
    std::optional<int> oHours;  // empty for a setting code the library is not expected to give
};

/// The offsets of one side, in millimetres.
struct side_offsets_view {
    double dMain;
    double dSub;
    std::optional<double> oEndOfPage;
};

/// The image offsets.
struct offsets_view {
    side_offsets_view stAdfFront;
    side_offsets_view stAdfBack;
    std::optional<side_offsets_view> oFlatbed;
};

/// The vertical magnification adjustments, in tenths of a percent: held exactly, since every
/// output turns them into a number of its own (MagnificationPercent, MagnificationRatio,
/// FormatTenths).
struct magnification_view {
    int32_t iAdf;
    std::optional<int32_t> oFlatbed;
};

/// Everything a scanner reports; texts are cut at the end of their fields.
struct report_view {
    std::string strProductId;
    std::string strRevision;
    std::optional<std::string> oInitialUse;  // only some models carry a meaningful date
    std::string strSerialNumber;
    int32_t iAdfSheets;
    std::optional<int32_t> oFlatbedSheets;
    std::vector<consumable_view> vConsumables;  // in report order: cleaning, roller, pick
    std::optional<sleep_timer_view> oSleepTimer;
    std::optional<power_off_view> oPowerOff;
    std::optional<offsets_view> oOffsets;
    std::optional<magnification_view> oMagnification;  // present with the offsets
};

/// Field-by-field equality of the views, so that a view can be compared whole (the fleet's wire
/// is tested by a round trip).
bool operator==(const consumable_view& a, const consumable_view& b);
bool operator==(const sleep_timer_view& a, const sleep_timer_view& b);
bool operator==(const power_off_view& a, const power_off_view& b);
bool operator==(const side_offsets_view& a, const side_offsets_view& b);
bool operator==(const offsets_view& a, const offsets_view& b);
bool operator==(const magnification_view& a, const magnification_view& b);
bool operator==(const report_view& a, const report_view& b);

/// Builds the view from a scanner's records.
report_view BuildReportView(const device_snapshot& snapshot);

/// Writes the view as the tool's information report. Returns false when a write failed.
bool RenderReportText(const report_view& view, FILE* out);

/// True when the counter carries its first mark.
bool HasFirstMark(CounterMarks marks);
/// True when the counter carries its second mark.
bool HasSecondMark(CounterMarks marks);
/// The mark as the report shows it: "(*)", else "(**)", else "".
const char* ShownMark(CounterMarks marks);

/// A magnification in tenths of a percent as a percentage.
double MagnificationPercent(int32_t tenths);
/// A magnification in tenths of a percent as a ratio (1 is 100 %).
double MagnificationRatio(int32_t tenths);
/// Tenths of a percent as text with a point ("-3.1"), whatever the locale.
std::string FormatTenths(int32_t tenths);
