// The offset options' groups and where each group's request lies in the command record.
#include "cli/option_values.h"

#include <gtest/gtest.h>

namespace {

TEST(ConvertSource, MapsEachOffsetOptionToItsGroup) {
    for (int code = -1; code < 256; ++code) {
        int expected = -1;
        if (code == '7' || code == '8' || code == '9') {
            expected = 1;
        } else if (code == 'a' || code == 'e' || code == 'f') {
            expected = 2;
        } else if (code == 'g' || code == 'i') {
            expected = 4;
        }
        EXPECT_EQ(ConvertSource(code), expected) << code;
    }
}

TEST(GetOffsetInfo, PointsIntoTheRecord) {
    velnor_command_info record{};
    EXPECT_EQ(GetOffsetInfo(record, 1), &record.stAdfFront);
    EXPECT_EQ(GetOffsetInfo(record, 2), &record.stAdfBack);
    EXPECT_EQ(GetOffsetInfo(record, 4), &record.stFlatbed);
    for (int group : {0, 3, 5, 8, -1}) {
        EXPECT_EQ(GetOffsetInfo(record, group), nullptr) << group;
    }
}

}  // namespace
