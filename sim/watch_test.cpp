// Tests of the device-watch library's reads (enumeration, firmware, inquiry, settings file) and
// of the call trace.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/test_support.h"

namespace {

TEST(WatchTest, EnumerationSkipsDetachedScanners) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    ASSERT_EQ(korwc_GetDeviceTotalNum(), 4);
    const char* expected[] = {"ko-330xs:KV33A0001", "ko-225Wxs:KV22W0002", "VX-905R",
                              "ko-550xs:KV55A0004"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(korwc_GetDeviceName(i), expected[i]);
    }
    EXPECT_EQ(korwc_GetDeviceName(4), nullptr);
    EXPECT_EQ(korwc_GetDeviceName(-1), nullptr);
    EXPECT_EQ(korwc_Open("ko-230xs:KV23A0005"), 0);
    EXPECT_EQ(korwc_Open("VX-905R"), 1);
    EXPECT_EQ(korwc_Close("VX-905R"), 1);
}

TEST(WatchTest, FirmwareIsCutToTheBuffer) {
    simtest::TempFleet fleet(
        R"({"scanners": [{"name": "a", "firmware": "0C30ABCDEFGHIJKLMNOP"}]})");
    struct Row {
        int size;
        int result;
        const char* text;
    } rows[] = {{16, 1, "0C30ABCDEFGHIJK"}, {5, 1, "0C30"}, {1, 1, ""}, {0, 0, "xx"}};
    for (const Row& row : rows) {
        char buffer[32] = "xx";
        EXPECT_EQ(korwc_GetFirmVersion("a", buffer, row.size), row.result) << row.size;
        EXPECT_STREQ(buffer, row.text) << row.size;
    }
    char buffer[16] = "xx";
    EXPECT_EQ(korwc_GetFirmVersion("b", buffer, 16), 0);
    EXPECT_EQ(korwc_GetFirmVersion("a", nullptr, 16), 0);
}

TEST(WatchTest, InquiryFillsTheWholeLength) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    unsigned char buffer[144];
    std::memset(buffer, 0xAA, sizeof buffer);
    ASSERT_EQ(korwc_InquiryVPD("ko-330xs:KV33A0001", buffer, 117, 0), 1);
    for (int i = 0; i < 117; ++i) {
        unsigned char expected = i == 114 ? 128 : i == 116 ? 24 : 0;
        EXPECT_EQ(buffer[i], expected) << "byte " << i;
    }
    EXPECT_EQ(buffer[117], 0xAA) << "nothing beyond the length";
    EXPECT_EQ(korwc_InquiryVPD("nobody", buffer, 117, 0), 0);
}

TEST(WatchTest, SettingsFileLookup) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    std::string xml = fleet.path() + ".xml";
    struct Row {
        const char* content;  // null: no file
        const char* key;
        const char* expected;
    } rows[] = {
        {"<s><Version>10.12.3</Version><Copyright>2020</Copyright></s>", "Version", "10.12.3"},
        {"<s><Version>10.12.3</Version><Copyright>2020</Copyright></s>", "Copyright", "2020"},
        {"<s><a><Version> 2.0 </Version></a></s>", "Version", " 2.0 "},
        {"<s><Version/></s>", "Version", ""},
        {"<s><version>1.2.3</version></s>", "Version", "default"},
        {"<s><Version>1.2.3</s>", "Version", "default"},
        {nullptr, "Version", "default"},
    };
    for (const Row& row : rows) {
        unlink(xml.c_str());
        if (row.content != nullptr) {
            WriteWholeFile(xml, row.content);
        }
        const char* value = korwc_GetXMLSettings2(row.key, "default", xml.c_str());
        ASSERT_NE(value, nullptr);
        EXPECT_STREQ(value, row.expected) << (row.content ? row.content : "(no file)");
    }
    unlink(xml.c_str());
    EXPECT_STREQ(korwc_GetXMLSettings2("Version", nullptr, "/nonexistent"), "");
}

TEST(WatchTest, LaidOutSettingsFileHasBothKeys) {
    const char* path = SIM_TEST_ROOT "/opt/orvex/etc/consumablessettings.xml";
    EXPECT_STREQ(korwc_GetXMLSettings2("Version", "none", path), "2.0.210");
    EXPECT_STREQ(korwc_GetXMLSettings2("Copyright", "none", path), "2020-2021 Kavisto");
}

TEST(WatchTest, TraceOfASessionAndAChange) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    const char* name = "ko-330xs:KV33A0001";
    korwc_GetDeviceTotalNum();
    korwc_StartExcusive(name);
    char firmware[16] = {};
    korwc_GetFirmVersion(name, firmware, 16);
    initlibrary(name, 0);
    SetFirmVersion(firmware);
    ardosa_info info{};
    GetArdosaInfo(&info);
    device_info device{};
    OnInitDialog(&device);
    GetEEPROMData();
    offset_data data{};
    GetOffSetData(&data);
    unsigned short minutes = 15;
    ModeSelect_LongTimer(name, &minutes);
    SetPowerSavingEEPROM(15);
    SetPowerOffTime(136);
    SetEEPROMData();
    data.iAdfFrontMain = 2;
    SetOffSetData(&data);
    korwc_EndExcusive(name);
    korwc_EndExcusive(nullptr);
    EXPECT_EQ(fleet.Trace(),
              (std::vector<std::string>{
                  "korwc_GetDeviceTotalNum() = 4",
                  "korwc_StartExcusive(\"ko-330xs:KV33A0001\") = 1",
                  "korwc_GetFirmVersion(\"ko-330xs:KV33A0001\", buffer, 16) = 1",
                  "initlibrary(\"ko-330xs:KV33A0001\", 0) = 1",
                  "SetFirmVersion(\"0C31\") = 1",
                  "GetArdosaInfo(&ardosa_info) = 1",
                  "OnInitDialog(&device_info) = 1",
                  "GetEEPROMData() = 1",
                  "GetOffSetData(&offset_data) = 1",
                  "ModeSelect_LongTimer(\"ko-330xs:KV33A0001\", 15) = 1",
                  "SetPowerSavingEEPROM(15) = 1",
                  "SetPowerOffTime(136) = 1",
                  "SetEEPROMData() = 1",
                  "SetOffSetData({fbMain=2 fbSub=0 adfFrontMain=2 adfFrontSub=-2 adfBackMain=0 "
                  "adfBackSub=3 adfFrontEndOfPage=0 adfBackEndOfPage=-1 fbMagnification=-31 "
                  "adfMagnification=15 flatbed=1 byte41=90 endOfPage=1 offsetSupported=1}) = 1",
                  "korwc_EndExcusive(\"ko-330xs:KV33A0001\") = 1",
                  "korwc_EndExcusive(NULL) = 0",
              }));
}

TEST(WatchTest, TraceQuotesTexts) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    korwc_StartExcusive("a\"b\\c\n\x7f");
    EXPECT_EQ(fleet.Trace(),
              (std::vector<std::string>{R"(korwc_StartExcusive("a\"b\\c\x0A\x7F") = 0)"}));
}

TEST(WatchTest, NoTraceWithoutTheVariable) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    unsetenv("ORVEX_SIM_TRACE");
    EXPECT_EQ(korwc_GetDeviceTotalNum(), 4);
    EXPECT_EQ(FolderEntries(fleet.dir()), (std::vector<std::string>{"fleet.json"}));
}

}  // namespace
