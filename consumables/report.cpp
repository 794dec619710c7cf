// The information report: the model built from a scanner's records, and its text.
#include "consumables/report.h"

#include <cinttypes>
#include <cstring>

// Models whose identification record carries a meaningful date of first use.
static const char* const kInitialUseModels[] = {"VX-901R", "VX-905R", "VX-913R"};

// The library may fill a text field to its last byte without a terminator: never read past it.
template <size_t N>
static std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

template <size_t N>
static bool FieldBeginsWith(const char (&field)[N], const char* prefix) {
    size_t length = std::strlen(prefix);
    return length <= N && std::strncmp(field, prefix, length) == 0;
}

static bool IsInitialUseModel(const device_info& device) {
    for (const char* model : kInitialUseModels) {
        if (FieldBeginsWith(device.szProductId, model)) {
            return true;
        }
    }
    return false;
}

static report_counter MakeCounter(ConsumableKind kind, const char* label, int32_t sheets,
                                  int32_t mark1, const int32_t* mark2) {
    return {kind,
            label,
            sheets,
            mark2 != nullptr,
            mark1 != 0,
            mark2 != nullptr && *mark2 != 0,
            OffersClearOption(ConsumableRowOf(kind), label)};
}

static std::vector<report_counter> BuildCounters(const ardosa_info& info) {
    std::vector<report_counter> counters;
    if (info.cpCleaningLabel != nullptr) {
        counters.push_back(MakeCounter(ConsumableKind::kAfterCleaning, info.cpCleaningLabel,
                                       info.iCleaningCount, info.bCleaningMark1, nullptr));
    }
    if (info.cpRollerLabel != nullptr) {
        counters.push_back(MakeCounter(
            ConsumableUnderLabel(&ardosa_info::cpRollerLabel, info.cpRollerLabel).eKind,
            info.cpRollerLabel, info.iRollerCount, info.bRollerMark1, &info.bRollerMark2));
    }
    if (info.cpPickLabel != nullptr) {
        counters.push_back(MakeCounter(ConsumableKind::kPickRoller, info.cpPickLabel,
                                       info.iPickCount, info.bPickMark1, &info.bPickMark2));
    }
    return counters;
}

static void FillOffsets(const offset_data& data, report_model* model) {
    model->bHasOffsets = data.bOffsetSupported != 0;
    model->bHasEndOfPage = model->bHasOffsets && data.bEndOfPage != 0;
    model->bHasFlatbedOffsets = model->bHasOffsets && data.bFlatbed != 0;
    model->stAdfFront = {data.iAdfFrontMain, data.iAdfFrontSub, data.iAdfFrontEndOfPage};
    model->stAdfBack = {data.iAdfBackMain, data.iAdfBackSub, data.iAdfBackEndOfPage};
    model->stFlatbed = {data.iFbMain, data.iFbSub, 0};
    model->iAdfMagnification = data.iAdfMagnification;
    model->iFbMagnification = data.iFbMagnification;
}

report_model BuildReport(const device_snapshot& snapshot) {
    const ardosa_info& info = snapshot.stArdosaInfo;
    const device_info& device = snapshot.stDeviceInfo;
    report_model model{};
    model.strProductId = FieldText(device.szProductId);
    model.strRevision = FieldText(device.szRevision);
    model.bShowsInitialUse = IsInitialUseModel(device);
    model.strInitialUse = FieldText(device.szInitialUse);
    model.strSerialNumber = FieldText(device.szSerialNumber);
    model.iAdfTotal = info.iAdfTotal;
    model.bHasFlatbed = info.bHasFlatbed != 0;
    model.iFbTotal = info.iFbTotal;
    model.vCounters = BuildCounters(info);
    model.bPowerSaveSupported = info.bPowerSaveSupported != 0;
    // A step beyond the largest one is reported as the largest.
    int32_t step = info.iSleepStep > info.iSleepMaxStep ? info.iSleepMaxStep : info.iSleepStep;
    model.llSleepMinutes = MinutesOfSleepStep(step);
    model.bPowerOffSupported = info.bPowerOffSupported != 0;
    model.bPowerOffActive = info.bPowerOffActive != 0;
    model.iPowerOffSetting = info.iPowerOffSetting;
    FillOffsets(snapshot.stOffSetData, &model);
    return model;
}

int PowerOffHours(int32_t code) {
    return code >= 0 && code <= 3 ? 1 << code : 0;
}

const char* ConsumableId(ConsumableKind kind) {
    return ConsumableRowOf(kind).cpId;
}

std::string ClearOptionOf(const report_counter& counter) {
    return counter.bClearable ? std::string("--") + ConsumableRowOf(counter.eKind).cpClearOption
                              : std::string();
}
