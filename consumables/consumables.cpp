// Looking up the consumables of consumables/consumables.def.
#include "consumables/consumables.h"

#include <cstring>

const consumable_row* FindConsumable(const std::string& id) {
    for (const consumable_row& row : kConsumables) {
        if (id == row.cpId) {
            return &row;
        }
    }
    return nullptr;
}

bool OffersClearOption(const consumable_row& row, const char* text) {
    return row.cpClearLabel != nullptr && text != nullptr &&
           std::strcmp(text, row.cpClearLabel) == 0;
}

const consumable_row& ConsumableUnderLabel(const char* ardosa_info::*label, const char* text) {
    const consumable_row* last = nullptr;
    for (const consumable_row& row : kConsumables) {
        if (row.pLabel == label) {
            if (OffersClearOption(row, text)) {
                return row;
            }
            last = &row;
        }
    }
    return *last;  // every label field of the record has a row
}
