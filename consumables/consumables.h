// The consumable counters a scanner may report, from consumables/consumables.def: where each
// stands in the consumables record, its clear option, its clear bit and its reset call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "access/binding.h"
#include "access/records.h"

/// Which consumable a counter counts.
enum class ConsumableKind {
#define ORVEX_CONSUMABLE(kind, ...) kind,
#include "consumables/consumables.def"
#undef ORVEX_CONSUMABLE
};

/// One consumable; the columns are documented in consumables/consumables.def.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding): columns in their documented order
struct consumable_row {
    ConsumableKind eKind;
    const char* cpId;
    const char* ardosa_info::*pLabel;
    int32_t ardosa_info::*pSheets;
    int32_t ardosa_info::*pFirstMark;
    int32_t ardosa_info::*pSecondMark;  // null: the counter has no second mark
    const char* cpClearLabel;           // null: no clear option
    const char* cpClearOption;          // the long option without its "--"
    int iClearCode;
    uint32_t uiClearBit;
    OnResetBrake_fn** ppfnReset;  // the three reset entry points share one type
};

/// The consumables in the order of consumables/consumables.def; constant-initialised.
inline constexpr consumable_row kConsumables[] = {
#define ORVEX_CONSUMABLE(kind, id, label, sheets, first, second, clearLabel, clearOption, code, \
                         bit, reset)                                                            \
    {ConsumableKind::kind, id,          label, sheets, first, second,                           \
     clearLabel,           clearOption, code,  bit,    reset},
#include "consumables/consumables.def"
#undef ORVEX_CONSUMABLE
};

/// The number of consumables.
inline constexpr size_t kConsumableCount = sizeof kConsumables / sizeof kConsumables[0];

/// The row of a kind.
constexpr const consumable_row& ConsumableRowOf(ConsumableKind kind) {
    return kConsumables[static_cast<size_t>(kind)];
}

/// The row with this id ("pick_roller"); null when there is none.
const consumable_row* FindConsumable(const std::string& id);

/// The row that a counter with this label text under this label field is reported as: the one
/// whose clear label equals the text, else the field's last row.
const consumable_row& ConsumableUnderLabel(const char* ardosa_info::*label, const char* text);

/// True when the label text offers the row's clear option: present and equal to its clear label.
bool OffersClearOption(const consumable_row& row, const char* text);
