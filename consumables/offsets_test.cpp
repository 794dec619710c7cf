// Offset and magnification settings: option groups, the merge into the device's record, the
// whole-record write and the roll-back of a refused write.
#include "consumables/offsets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session/session.h"
#include "sim/trace_format.h"
#include "tests/support/fake_service_fixture.h"

namespace {

// The session whose records the operations read and change.
device_session testSession;

using Calls = std::vector<std::string>;

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

// The record as the device gave it: every field distinct, byte 41 the library's own value.
offset_data DeviceRecord() {
    offset_data d{};
    d.iFbMain = 1;
    d.iFbSub = 2;
    d.iAdfFrontMain = 3;
    d.iAdfFrontSub = 4;
    d.iAdfBackMain = -1;
    d.iAdfBackSub = -2;
    d.iAdfFrontEndOfPage = -3;
    d.iAdfBackEndOfPage = -4;
    d.iFbMagnification = 11;
    d.iAdfMagnification = -12;
    d.bFlatbed = 1;
    d.bLibrary41 = 0xA5;
    d.bEndOfPage = 1;
    d.bOffsetSupported = 1;
    return d;
}

std::string Write(const offset_data& d, int result) {
    return trace::Line("SetOffSetData", trace::DescribeOffsetData(d), trace::Int(result));
}

bool SameBytes(const offset_data& a, const offset_data& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class SetOffsetDataTest : public FakeServiceTest {
protected:
    void SetUp() override {
        FakeServiceTest::SetUp();
        testSession.stOffSetData = DeviceRecord();
        std::memset(&testSession.stOffSetBackupData, 0x77,
                    sizeof testSession.stOffSetBackupData);  // a stale backup
    }
};

TEST_F(SetOffsetDataTest, MergesOnlyTheRequestedFields) {
    struct Row {
        const char* name;
        void (*request)(velnor_command_info&);
        unsigned char endOfPage;
        void (*expect)(offset_data&);
    };
    const Row rows[] = {
        {"adf magnification alone",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestAdfMagnification;
             r.iAdfMagnification = 31;
             r.iFlatbedMagnification = 7;  // not requested
         },
         1, [](offset_data& d) { d.iAdfMagnification = 31; }},
        {"flatbed magnification alone",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestFlatbedMagnification;
             r.iFlatbedMagnification = -31;
         },
         1, [](offset_data& d) { d.iFbMagnification = -31; }},
        {"front sub alone",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupAdfFront;
             r.stAdfFront = {kOffsetSub, 4, -4, 4};
         },
         1, [](offset_data& d) { d.iAdfFrontSub = -4; }},
        {"front and back, all three",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupAdfFront | kGroupAdfBack;
             r.stAdfFront = {kOffsetMain | kOffsetSub | kOffsetEndOfPage, -4, 0, 2};
             r.stAdfBack = {kOffsetMain | kOffsetSub | kOffsetEndOfPage, 4, 3, 0};
         },
         1,
         [](offset_data& d) {
             d.iAdfFrontMain = -4;
             d.iAdfFrontSub = 0;
             d.iAdfFrontEndOfPage = 2;
             d.iAdfBackMain = 4;
             d.iAdfBackSub = 3;
             d.iAdfBackEndOfPage = 0;
         }},
        {"end of page without the device's end-of-page offsets",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupAdfFront | kGroupAdfBack;
             r.stAdfFront = {kOffsetMain | kOffsetEndOfPage, 2, 0, 2};
             r.stAdfBack = {kOffsetEndOfPage, 0, 0, 1};
         },
         0, [](offset_data& d) { d.iAdfFrontMain = 2; }},
        {"flatbed main and sub, never an end of page",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupFlatbed;
             r.stFlatbed = {kOffsetMain | kOffsetSub | kOffsetEndOfPage, -2, 3, 4};
         },
         1,
         [](offset_data& d) {
             d.iFbMain = -2;
             d.iFbSub = 3;
         }},
        {"flatbed end of page only",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupFlatbed;
             r.stFlatbed = {kOffsetEndOfPage, 0, 0, 4};
         },
         1, [](offset_data&) {}},
        {"a group's values without its group bit",
         [](velnor_command_info& r) {
             r.uiRequest = kRequestOffsets;
             r.uiOffsetGroups = kGroupAdfBack;
             r.stAdfFront = {kOffsetMain, 4, 0, 0};
             r.stAdfBack = {kOffsetSub, 0, -1, 0};
         },
         1, [](offset_data& d) { d.iAdfBackSub = -1; }},
        {"offsets and both magnifications",
         [](velnor_command_info& r) {
             r.uiRequest =
                 kRequestOffsets | kRequestAdfMagnification | kRequestFlatbedMagnification;
             r.uiOffsetGroups = kGroupFlatbed;
             r.stFlatbed = {kOffsetMain, 0, 0, 0};
             r.iAdfMagnification = 0;
             r.iFlatbedMagnification = 5;
         },
         1,
         [](offset_data& d) {
             d.iFbMain = 0;
             d.iAdfMagnification = 0;
             d.iFbMagnification = 5;
         }},
    };
    for (const Row& row : rows) {
        SetUp();
        testSession.stOffSetData.bEndOfPage = row.endOfPage;
        const offset_data before = testSession.stOffSetData;
        velnor_command_info record{};
        row.request(record);
        offset_data expected = before;
        row.expect(expected);

        EXPECT_TRUE(SetOffsetData(&testSession, record)) << row.name;
        EXPECT_EQ(g_fake.calls, Calls{Write(expected, 1)}) << row.name;
        EXPECT_TRUE(SameBytes(testSession.stOffSetData, expected)) << row.name;
        EXPECT_TRUE(SameBytes(testSession.stOffSetBackupData, before)) << row.name;
        EXPECT_EQ(g_fake.offsets.bLibrary41, 0xA5) << row.name;
    }
}

TEST_F(SetOffsetDataTest, RefusedWriteIsRolledBackOnce) {
    struct Row {
        const char* name;
        int rollBackResult;
    };
    const Row rows[] = {{"roll-back accepted", 1}, {"roll-back refused too", 0}};
    for (const Row& row : rows) {
        SetUp();
        const offset_data before = testSession.stOffSetData;
        velnor_command_info record{};
        record.uiRequest = kRequestOffsets | kRequestAdfMagnification;
        record.uiOffsetGroups = kGroupAdfFront;
        record.stAdfFront = {kOffsetMain, -4, 0, 0};
        record.iAdfMagnification = 20;
        offset_data refused = before;
        refused.iAdfFrontMain = -4;
        refused.iAdfMagnification = 20;
        g_fake.failOnce["SetOffSetData"] = 0;
        g_fake.results["SetOffSetData"] = row.rollBackResult;

        EXPECT_FALSE(SetOffsetData(&testSession, record)) << row.name;
        EXPECT_EQ(g_fake.calls, (Calls{Write(refused, 0), Write(before, row.rollBackResult)}))
            << row.name;
        EXPECT_TRUE(SameBytes(testSession.stOffSetBackupData, before)) << row.name;
        EXPECT_TRUE(SameBytes(testSession.stOffSetData, refused)) << row.name;
    }
}

TEST_F(SetOffsetDataTest, ByteFortyOneSurvivesChangeAndRollBack) {
    velnor_command_info record{};
    record.uiRequest = kRequestAdfMagnification;
    record.iAdfMagnification = 1;
    g_fake.failOnce["SetOffSetData"] = 0;
    EXPECT_FALSE(SetOffsetData(&testSession, record));
    ASSERT_EQ(g_fake.calls.size(), 2u);
    for (const std::string& line : g_fake.calls) {
        EXPECT_NE(line.find(" byte41=165 "), std::string::npos) << line;
    }
    EXPECT_EQ(g_fake.offsets.bLibrary41, 0xA5);  // what the accepted roll-back left on the device
}

}  // namespace
