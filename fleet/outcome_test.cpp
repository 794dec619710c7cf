// Tests of the times as every format writes them.
#include "fleet/outcome.h"

#include <gtest/gtest.h>

namespace {

TEST(Rfc3339, WritesTheUtcTimeToTheSecondOverLeapDaysAndCenturies) {
    const std::pair<long long, const char*> rows[] = {
        {0, "1970-01-01T00:00:00Z"},
        {68169600, "1972-02-29T00:00:00Z"},
        {951782400, "2000-02-29T00:00:00Z"},   // a century that is a leap year
        {4107542399, "2100-02-28T23:59:59Z"},  // one that is not
        {4107542400, "2100-03-01T00:00:00Z"},
        {253402300799, "9999-12-31T23:59:59Z"},  // the latest time the store takes
    };
    for (const auto& [seconds, text] : rows) {
        EXPECT_EQ(Rfc3339(seconds), text) << seconds;
    }
}

}  // namespace
