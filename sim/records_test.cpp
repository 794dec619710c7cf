// Tests of the records the device-control library fills, read back at their byte offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sim/test_support.h"

namespace {

int32_t IntAt(const void* record, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

std::string LabelAt(const void* record, size_t offset) {
    const char* label = nullptr;
    std::memcpy(&label, static_cast<const unsigned char*>(record) + offset, sizeof label);
    return label == nullptr ? "(null)" : label;
}

TEST(RecordsTest, ConsumablesRecordAtItsOffsets) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("ko-330xs:KV33A0001", 0), 1);
    ardosa_info info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(GetArdosaInfo(&info), 1);
    struct Row {
        size_t offset;
        int32_t expected;
    } rows[] = {
        {16, 1}, {48, 12345}, {52, 678}, {56, 5000}, {60, 6000}, {64, 120},
        {68, 1}, {72, 12},    {76, 3},   {80, 1},    {84, 1},    {88, 1},
        {92, 1}, {96, 0},     {100, 1},  {104, 1},   {108, 0},   {112, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IntAt(&info, row.offset), row.expected) << "byte " << row.offset;
    }
    EXPECT_EQ(LabelAt(&info, 24), "Brake Roller:");
    EXPECT_EQ(LabelAt(&info, 32), "Pick Roller:");
    EXPECT_EQ(LabelAt(&info, 40), "After cleaning:");
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&info);
    for (size_t i : {0, 15, 20, 23, 116, 143}) {
        EXPECT_EQ(bytes[i], 0) << "the library's byte " << i << " was changed";
    }
}

TEST(RecordsTest, AbsentLabelsAreNullAndLabelsOutliveTheFleet) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("ko-225Wxs:KV22W0002", 0), 1);
    ardosa_info info{};
    ASSERT_EQ(GetArdosaInfo(&info), 1);
    EXPECT_EQ(LabelAt(&info, 24), "Pad:");
    EXPECT_EQ(LabelAt(&info, 32), "(null)");
    EXPECT_EQ(IntAt(&info, 16), 0);
    sim::ResetService();  // the loaded fleet goes; the label texts stay
    EXPECT_STREQ(info.cpRollerLabel, "Pad:");
}

TEST(RecordsTest, IdentificationTextsAreCutToTheirFields) {
    std::string serial(600, 'S');
    simtest::TempFleet fleet(
        R"({"scanners": [{"name": "VX-905R", "identification": {
            "productId": "VX-905R with a product identification longer than its field",
            "revision": "12345", "initialUse": "2021/04/12", "serialNumber": ")" +
        serial + R"("}}]})");
    ASSERT_EQ(initlibrary("VX-905R", 0), 1);
    device_info info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(OnInitDialog(&info), 1);
    const char* bytes = reinterpret_cast<const char*>(&info);
    EXPECT_EQ(std::string(bytes + 9, 32), "VX-905R with a product identific");
    EXPECT_EQ(std::string(bytes + 41, 5), "12345");
    EXPECT_EQ(std::string(bytes + 46), "2021/04/12");
    EXPECT_EQ(std::string(bytes + 88, 568), serial.substr(0, 568));
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(bytes[i], 0) << "the library's byte " << i << " was changed";
    }
}

TEST(RecordsTest, OffsetRecordAtItsOffsetsWithByte41) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(initlibrary("ko-330xs:KV33A0001", 0), 1);
    offset_data data;
    std::memset(&data, 0xEE, sizeof data);  // GetOffSetData gets the record as the tool has it
    ASSERT_EQ(GetOffSetData(&data), 1);
    int32_t expected[10] = {2, 0, 1, -2, 0, 3, 0, -1, -31, 15};  // fb, adf front/back, eop, mag
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(IntAt(&data, i * 4), expected[i]) << "byte " << i * 4;
    }
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&data);
    EXPECT_EQ(bytes[40], 1);
    EXPECT_EQ(bytes[41], 90);
    EXPECT_EQ(bytes[42], 1);
    EXPECT_EQ(bytes[43], 1);
}

TEST(RecordsTest, NoRecordWithoutAnInitialisedScanner) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    EXPECT_EQ(initlibrary("ko-230xs:KV23A0005", 0), 0);  // in the file, not attached
    ardosa_info info{};
    EXPECT_EQ(GetArdosaInfo(&info), 0);
    EXPECT_EQ(info.cpRollerLabel, nullptr);
    EXPECT_EQ(initlibrary(nullptr, 0), 0);
    EXPECT_EQ(OnInitDialog(nullptr), 0);
}

}  // namespace
