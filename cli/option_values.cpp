// The values of the setting options, one handler per kind of value.
#include "cli/option_values.h"

#include <string>

#include "cli/convert.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/state.h"
#include "consumables/sleep_timer.h"

// Option codes are taken relative to '7'; bit n of a mask stands for the code '7' + n.
static const int kFirstOffsetCode = '7';
static const int kLastOffsetBit = 50;

// The codes of a group's offset options, from the rows' group column; a code outside the word of
// the masks stops the compilation.
static constexpr uint64_t OffsetCodes(uint32_t group) {
    uint64_t codes = 0;
    for (const option_row& row : kOptionRows) {
        if (row.uiGroup == group) {
            int bit = row.iCode - kFirstOffsetCode;
            codes |= bit >= 0 && bit <= kLastOffsetBit ? 1ULL << bit : throw "offset code";
        }
    }
    return codes;
}

struct OffsetGroupMask {
    uint64_t ullCodes;
    int iGroup;
};

// Tested in this order: flatbed, ADF back, ADF front.
static constexpr OffsetGroupMask kGroupMasks[] = {
    {OffsetCodes(kGroupFlatbed), kGroupFlatbed},
    {OffsetCodes(kGroupAdfBack), kGroupAdfBack},
    {OffsetCodes(kGroupAdfFront), kGroupAdfFront},
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

static void ReportRounded(const char* word, int from, int to) {
    std::string message = FormatMessage("rounded value of %s from %d to %d", word, from, to);
    ShowErrMsg(nullptr, message.c_str());
    g_iErrCode = kExitRounded;
}

static void ReportRoundedTenths(const char* word, int from, int to) {
    std::string message =
        FormatMessage("rounded value of %s from %.01f to %.01f", word, from / 10.0, to / 10.0);
    ConvertDoubleMeg(&message[0]);
    ShowErrMsg(nullptr, message.c_str());
    g_iErrCode = kExitRounded;
}

static int Clamp(int value, int limit) {
    return value < -limit ? -limit : (value > limit ? limit : value);
}

static bool RecordCounter(const option_row& row, velnor_command_info* record) {
    record->uiClearMask |= row.pConsumable->uiClearBit;
    return true;
}

static bool RecordSleepTimer(const option_row& row, const char* word, const char* value,
                             velnor_command_info* record) {
    int minutes = 0;
    if (!ConvertStringToInt(value, &minutes)) {
        return false;
    }
    sleep_timer_choice choice =
        ChooseSleepMinutes(minutes, MinutesOfSleepStep(g_ArdosaInfo.iSleepMinStep),
                           MinutesOfSleepStep(g_ArdosaInfo.iSleepMaxStep));
    for (int i = 0; i < choice.iRoundings; ++i) {
        ReportRounded(word, choice.astRoundings[i].iFrom, choice.astRoundings[i].iTo);
    }
    record->*row.stField.piValue = choice.iMinutes;
    return true;
}

static bool RecordPowerOff(const option_row& row, const char* value, velnor_command_info* record) {
    int code = ConvertPowerTime(value);
    if (code == -1) {
        return false;
    }
    record->*row.stField.piValue = code;
    return true;
}

static bool RecordOffset(const option_row& row, const char* word, const char* value,
                         velnor_command_info* record) {
    int group = ConvertSource(row.iCode);
    offset_request* request = GetOffsetInfo(*record, group);
    if (request == nullptr) {
        return false;
    }
    record->uiOffsetGroups |= static_cast<uint32_t>(group);
    request->uiSet |= row.uiSetBit;
    int offset = 0;
    if (!ConvertStringToInt(value, &offset)) {
        return false;
    }
    int clamped = Clamp(offset, kOffsetLimit);
    if (clamped != offset) {
        ReportRounded(word, offset, clamped);
    }
    request->*row.stField.piOffset = clamped;
    return true;
}

static bool RecordMagnification(const option_row& row, const char* word, const char* value,
                                velnor_command_info* record) {
    int tenths = 0;
    if (!ConvertStringToIntx10(value, tenths)) {
        return false;
    }
    int clamped = Clamp(tenths, kMagnificationLimit);
    if (clamped != tenths) {
        ReportRoundedTenths(word, tenths, clamped);
    }
    record->*row.stField.piValue = clamped;
    return true;
}

bool RecordOptionValue(const option_row& row, const char* word, const char* value,
                       velnor_command_info* record) {
    record->uiRequest |= row.uiRequest;
    switch (row.eKind) {
        case OptionKind::kCounter:
            return RecordCounter(row, record);
        case OptionKind::kSleepTimer:
            return RecordSleepTimer(row, word, value, record);
        case OptionKind::kPowerOff:
            return RecordPowerOff(row, value, record);
        case OptionKind::kOffset:
            return RecordOffset(row, word, value, record);
        case OptionKind::kMagnification:
            return RecordMagnification(row, word, value, record);
        default:
            return false;  // not a setting option
    }
}
