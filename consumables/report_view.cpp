// The report view: built once from a scanner's three records.
#include "consumables/report_view.h"

#include <cstring>
#include <tuple>

#include "consumables/power_off.h"

namespace {

// Models whose identification record carries a meaningful date of first use.
const char* const kInitialUseModels[] = {"VX-901R", "VX-905R", "VX-913R"};

// The label fields of the record, in report order.
const char* ardosa_info::*const kCounterLabels[] = {
    &ardosa_info::cpCleaningLabel, &ardosa_info::cpRollerLabel, &ardosa_info::cpPickLabel};

// The library may fill a text field to its last byte without a terminator: never read past it.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

template <size_t N>
bool FieldBeginsWith(const char (&field)[N], const char* prefix) {
    size_t length = std::strlen(prefix);
    return length <= N && std::strncmp(field, prefix, length) == 0;
}

bool IsInitialUseModel(const device_info& device) {
    for (const char* model : kInitialUseModels) {
        if (FieldBeginsWith(device.szProductId, model)) {
            return true;
        }
    }
    return false;
}

CounterMarks MarksOf(const ardosa_info& info, const consumable_row& row) {
    bool first = info.*row.pFirstMark != 0;
    bool second = row.pSecondMark != nullptr && info.*row.pSecondMark != 0;
    return first ? (second ? CounterMarks::kBoth : CounterMarks::kFirst)
                 : (second ? CounterMarks::kSecond : CounterMarks::kNone);
}

std::vector<consumable_view> BuildConsumables(const ardosa_info& info) {
    std::vector<consumable_view> consumables;
    for (const char* ardosa_info::*field : kCounterLabels) {
        const char* label = info.*field;
        if (label == nullptr) {
            continue;
        }
        const consumable_row& row = ConsumableUnderLabel(field, label);
        consumables.push_back({row.eKind, label, info.*row.pSheets, MarksOf(info, row),
                               OffersClearOption(row, label)});
    }
    return consumables;
}

sleep_timer_view BuildSleepTimer(const ardosa_info& info) {
    // A step beyond the largest one is reported as the largest.
    int32_t step = info.iSleepStep > info.iSleepMaxStep ? info.iSleepMaxStep : info.iSleepStep;
    return {MinutesOfSleepStep(step), MinutesOfSleepStep(info.iSleepMinStep),
            MinutesOfSleepStep(info.iSleepMaxStep)};
}

power_off_view BuildPowerOff(const ardosa_info& info) {
    const power_off_time* time = PowerOffTimeOf(info.iPowerOffSetting);
    return {info.bPowerOffActive != 0, time ? std::optional<int>(time->iHours) : std::nullopt};
}

// Offsets are held by the scanner in steps of 0.5 mm.
double Millimetres(int32_t steps) {
    return steps / 2.0;
}

side_offsets_view Side(int32_t main, int32_t sub, std::optional<int32_t> endOfPage) {
    return {Millimetres(main), Millimetres(sub),
            endOfPage ? std::optional<double>(Millimetres(*endOfPage)) : std::nullopt};
}

void AddOffsets(const offset_data& data, report_view* view) {
    if (data.bOffsetSupported == 0) {
        return;
    }
    bool endOfPage = data.bEndOfPage != 0;
    bool flatbed = data.bFlatbed != 0;
    view->oOffsets = offsets_view{
        Side(data.iAdfFrontMain, data.iAdfFrontSub,
             endOfPage ? std::optional<int32_t>(data.iAdfFrontEndOfPage) : std::nullopt),
        Side(data.iAdfBackMain, data.iAdfBackSub,
             endOfPage ? std::optional<int32_t>(data.iAdfBackEndOfPage) : std::nullopt),
        flatbed ? std::optional<side_offsets_view>(Side(data.iFbMain, data.iFbSub, std::nullopt))
                : std::nullopt};
    view->oMagnification =
        magnification_view{data.iAdfMagnification,
                           flatbed ? std::optional<int32_t>(data.iFbMagnification) : std::nullopt};
}

// Every field of each view, in declaration order: the one list that equality compares.
auto Fields(const consumable_view& v) {
    return std::tie(v.eKind, v.strLabel, v.iSheets, v.eMarks, v.bClearable);
}
auto Fields(const sleep_timer_view& v) {
    return std::tie(v.llMinutes, v.llMinMinutes, v.llMaxMinutes);
}
auto Fields(const power_off_view& v) {
    return std::tie(v.bActive, v.oHours);
}
auto Fields(const side_offsets_view& v) {
    return std::tie(v.dMain, v.dSub, v.oEndOfPage);
}
auto Fields(const offsets_view& v) {
    return std::tie(v.stAdfFront, v.stAdfBack, v.oFlatbed);
}
auto Fields(const magnification_view& v) {
    return std::tie(v.iAdf, v.oFlatbed);
}
auto Fields(const report_view& v) {
    return std::tie(v.strProductId, v.strRevision, v.oInitialUse, v.strSerialNumber, v.iAdfSheets,
                    v.oFlatbedSheets, v.vConsumables, v.oSleepTimer, v.oPowerOff, v.oOffsets,
                    v.oMagnification);
}

}  // namespace

#define ORVEX_EQUAL_BY_FIELDS(view)                 \
    bool operator==(const view& a, const view& b) { \
        return Fields(a) == Fields(b);              \
    }
ORVEX_EQUAL_BY_FIELDS(consumable_view)
ORVEX_EQUAL_BY_FIELDS(sleep_timer_view)
ORVEX_EQUAL_BY_FIELDS(power_off_view)
ORVEX_EQUAL_BY_FIELDS(side_offsets_view)
ORVEX_EQUAL_BY_FIELDS(offsets_view)
ORVEX_EQUAL_BY_FIELDS(magnification_view)
ORVEX_EQUAL_BY_FIELDS(report_view)
#undef ORVEX_EQUAL_BY_FIELDS

report_view BuildReportView(const device_snapshot& snapshot) {
    const ardosa_info& info = snapshot.stArdosaInfo;
    const device_info& device = snapshot.stDeviceInfo;
    report_view view{};
    view.strProductId = FieldText(device.szProductId);
    view.strRevision = FieldText(device.szRevision);
    if (IsInitialUseModel(device)) {
        view.oInitialUse = FieldText(device.szInitialUse);
    }
    view.strSerialNumber = FieldText(device.szSerialNumber);
    view.iAdfSheets = info.iAdfTotal;
    if (info.bHasFlatbed != 0) {
        view.oFlatbedSheets = info.iFbTotal;
    }
    view.vConsumables = BuildConsumables(info);
    if (info.bPowerSaveSupported != 0) {
        view.oSleepTimer = BuildSleepTimer(info);
    }
    if (info.bPowerOffSupported != 0) {
        view.oPowerOff = BuildPowerOff(info);
    }
    AddOffsets(snapshot.stOffSetData, &view);
    return view;
}

bool HasFirstMark(CounterMarks marks) {
    return marks == CounterMarks::kFirst || marks == CounterMarks::kBoth;
}

bool HasSecondMark(CounterMarks marks) {
    return marks == CounterMarks::kSecond || marks == CounterMarks::kBoth;
}

const char* ShownMark(CounterMarks marks) {
    return HasFirstMark(marks) ? "(*)" : HasSecondMark(marks) ? "(**)" : "";
}

double MagnificationPercent(int32_t tenths) {
    return tenths / 10.0;
}

double MagnificationRatio(int32_t tenths) {
    return tenths / 1000.0;
}

std::string FormatTenths(int32_t tenths) {
    long long magnitude = tenths < 0 ? -static_cast<long long>(tenths) : tenths;
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}
