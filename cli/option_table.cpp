// The option table: getopt_long's tables made from the rows, and what a scanner offers.
#include "cli/option_table.h"

const char* g_cpOptString = "d:LhV";

// getopt_long's table made from the rows while compiling; the entry behind them stays all zero.
struct long_option_table {
    struct option astOptions[kOptionCount + 1];
};

static constexpr long_option_table MakeLongOptions() {
    long_option_table table{};
    for (size_t i = 0; i < kOptionCount; ++i) {
        const option_row& row = kOptionRows[i];
        table.astOptions[i] = {row.cpName, TakesValue(row.eKind) ? required_argument : no_argument,
                               nullptr, row.iCode};
    }
    return table;
}

static constexpr long_option_table kLongOptions = MakeLongOptions();
static_assert(kOptionCount == 22, "22 long options");

const struct option (&g_stOptions)[kOptionCount + 1] = kLongOptions.astOptions;

const option_row* FindOptionRow(int code) {
    for (const option_row& row : kOptionRows) {
        if (row.iCode == code) {
            return &row;
        }
    }
    return nullptr;
}

// The kOffers... facts that the scanner reports.
static unsigned OffersOf(const report_view& view) {
    unsigned offers =
        (view.oSleepTimer ? kOffersSleepTimer : 0) | (view.oPowerOff ? kOffersPowerOff : 0);
    if (view.oOffsets) {
        offers |= kOffersOffsets | (view.oOffsets->stAdfFront.oEndOfPage ? kOffersEndOfPage : 0) |
                  (view.oOffsets->oFlatbed ? kOffersFlatbed : 0);
    }
    return offers;
}

bool IsOptionOffered(const option_row& row, const report_view& view) {
    if (row.pConsumable != nullptr) {
        for (const consumable_view& consumable : view.vConsumables) {
            if (consumable.eKind == row.pConsumable->eKind && consumable.bClearable) {
                return true;
            }
        }
        return false;
    }
    return (row.uiOffers & ~OffersOf(view)) == 0;
}
