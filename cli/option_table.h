// The command-line vocabulary: one row per option (cli/options.def), getopt_long's tables made
// from the rows, and what a scanner offers.
#pragma once

#include <getopt.h>

#include <cstddef>
#include <cstdint>

#include "consumables/command.h"
#include "consumables/consumables.h"
#include "consumables/report_view.h"

// Bits of uiRequest that only the tool reads, each naming a change operation for the driver (the
// two magnification bits, which the offset write reads too, belong to consumables/command.h).
constexpr uint32_t kRequestSleepTimer = 0x10;
constexpr uint32_t kRequestPowerOff = 0x20;
constexpr uint32_t kRequestClearCounters = 0x40;
constexpr uint32_t kRequestOffsets = 0x80;

/// Offsets lie within -kOffsetLimit..kOffsetLimit steps of 0.5 mm.
constexpr int kOffsetLimit = 4;
/// Magnifications lie within -kMagnificationLimit..kMagnificationLimit tenths of a percent.
constexpr int kMagnificationLimit = 31;

/// What an option is: the device selection, a common command, or a setting's kind of value.
enum class OptionKind {
    kDeviceName,  // -d, taken by the device-name scan
    // The common commands: the driver carries out the first one met, and the run ends.
    kInfo,
    kListDevices,
    kHelp,
    kVersion,
    // The setting options, by their kind of value.
    kCounter,        // none: clears a counter
    kSleepTimer,     // minutes, a multiple of 5 within the scanner's range
    kPowerOff,       // one of the power-off texts
    kOffset,         // an integer in steps of 0.5 mm
    kMagnification,  // a decimal percent, held in tenths
};

// What the open scanner must report for an option to be offered (the offers column).
constexpr unsigned kOffersSleepTimer = 0x01;
constexpr unsigned kOffersPowerOff = 0x02;
constexpr unsigned kOffersOffsets = 0x04;
constexpr unsigned kOffersEndOfPage = 0x08;
constexpr unsigned kOffersFlatbed = 0x10;

/// The field that receives an option's value: of the command record, or of an offset request.
struct option_field {
    int32_t velnor_command_info::*piValue;
    int32_t offset_request::*piOffset;
};

constexpr option_field OptionField(std::nullptr_t) {
    return {nullptr, nullptr};
}
constexpr option_field OptionField(int32_t velnor_command_info::*field) {
    return {field, nullptr};
}
constexpr option_field OptionField(int32_t offset_request::*field) {
    return {nullptr, field};
}

/// One option; the columns are documented in cli/options.def.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding): columns in their documented order
struct option_row {
    const char* cpName;
    int iCode;
    OptionKind eKind;
    unsigned uiOffers;
    const consumable_row* pConsumable;  // the counter that the option clears; null for the others
    uint32_t uiRequest;
    option_field stField;
    uint32_t uiSetBit;
    uint32_t uiGroup;
    int iHelpPlace;
    const char* cpHelp;
};

/// The options in the order of cli/options.def; constant-initialised.
inline constexpr option_row kOptionRows[] = {
// clang-format off
#define ORVEX_OPTION(name, code, kind, offers, request, field, setBit, group, place, help)        \
    {name, code, OptionKind::kind, offers, nullptr, request, OptionField(field), setBit, group,   \
     place, help},
// A counter option's name, code, label and clear bit are its consumable's.
#define ORVEX_COUNTER_OPTION(kind, place, help)                                                   \
    {ConsumableRowOf(ConsumableKind::kind).cpClearOption,                                         \
     ConsumableRowOf(ConsumableKind::kind).iClearCode, OptionKind::kCounter, 0,                   \
     &ConsumableRowOf(ConsumableKind::kind), kRequestClearCounters, OptionField(nullptr), 0, 0,   \
     place, help},
// clang-format on
#include "cli/options.def"
#undef ORVEX_COUNTER_OPTION
#undef ORVEX_OPTION
};

/// The number of options.
inline constexpr size_t kOptionCount = sizeof kOptionRows / sizeof kOptionRows[0];

/// True for the kinds of option that take a value.
constexpr bool TakesValue(OptionKind kind) {
    return kind == OptionKind::kDeviceName || kind >= OptionKind::kSleepTimer;
}

/// True for the common commands.
constexpr bool IsCommonCommand(OptionKind kind) {
    return kind >= OptionKind::kInfo && kind <= OptionKind::kVersion;
}

/// The short options: only -d (with a value), -L, -h and -V exist.
extern const char* g_cpOptString;
/// The 22 long options followed by the all-zero terminator, in table order.
extern const struct option (&g_stOptions)[kOptionCount + 1];

/// The row of a code that getopt_long returned; null for '?' and any other code.
const option_row* FindOptionRow(int code);

/// True when the scanner of the view offers the option: a counter option when the consumable's
/// label is present and reads its clear label exactly, any other when the scanner reports every
/// fact of its offers column.
bool IsOptionOffered(const option_row& row, const report_view& view);
