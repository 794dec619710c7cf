// The device session: opening order, idempotence, boot-mode refusal and the failure table.
#include "cli/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "access/device_list.h"
#include "cli/exit_codes.h"
#include "cli/state.h"
#include "tests/support/expected.h"
#include "tests/support/tool_fixture.h"

namespace {

using Names = std::vector<std::string>;

class SessionTest : public ToolFakeServiceTest {
protected:
    void SetUp() override {
        ToolFakeServiceTest::SetUp();
        // A designation without a capability rule, so that opening fetches nothing extra.
        g_fake.deviceNames = {"ko-999:S1"};
    }

    // Opens the session and returns what it printed.
    std::string Open(const char* name, int expectedResult) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(OpenWithName(name), expectedResult);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(SessionTest, OpensInOrderAndKeepsABackupOfTheOffsets) {
    g_fake.offsets.iAdfFrontMain = -3;
    g_fake.offsets.bLibrary41 = 0xA7;
    EXPECT_EQ(Open("ko-999:S1", 0), "");
    EXPECT_EQ(g_fake.calls, (Names{
                                "korwc_StartExcusive(\"ko-999:S1\") = 1",
                                "initlibrary(\"ko-999:S1\", 0) = 1",
                                "SetFirmVersion(\"\") = 1",
                                "GetArdosaInfo(&ardosa_info) = 1",
                                "OnInitDialog(&device_info) = 1",
                                "GetEEPROMData() = 1",
                                "GetOffSetData(&offset_data) = 1",
                            }));
    EXPECT_TRUE(g_bOpened);
    EXPECT_STREQ(g_cpActiveScanner, "ko-999:S1");
    EXPECT_STREQ(g_cpActiveScannerName, "ko-999");
    EXPECT_EQ(std::memcmp(&g_OffSetBackupData, &g_OffSetData, sizeof g_OffSetData), 0);
    EXPECT_EQ(g_OffSetData.iAdfFrontMain, -3);
    EXPECT_EQ(g_OffSetBackupData.bLibrary41, 0xA7);
    EXPECT_EQ(g_ArdosaInfo.iPickCount, g_fake.ardosa.iPickCount);
    EXPECT_STREQ(g_velnor_device_info.szProductId, "ko-330xs");
}

TEST_F(SessionTest, ASecondOpenCallsNothing) {
    Open("ko-999:S1", 0);
    g_fake.calls.clear();
    EXPECT_EQ(Open("ko-999:S1", 0), "");
    EXPECT_TRUE(g_fake.calls.empty());
}

TEST_F(SessionTest, RefusedClaimOrAbsentNameIsNotConnected) {
    g_fake.results["korwc_StartExcusive"] = 0;
    EXPECT_EQ(Open("ko-999:S1", -1), kNotConnectedLine);
    EXPECT_EQ(g_iErrCode, kExitNotConnected);
    EXPECT_EQ(CalledEntryPoints(), (Names{"korwc_StartExcusive"}));
    EXPECT_EQ(g_cpActiveScanner, nullptr);

    g_fake.calls.clear();
    g_iErrCode = 0;
    EXPECT_EQ(Open(nullptr, -1), kNotConnectedLine);
    EXPECT_EQ(g_iErrCode, kExitNotConnected);
    EXPECT_TRUE(g_fake.calls.empty());
}

TEST_F(SessionTest, FailedStateReadTellsBusyFromUnreadable) {
    struct Row {
        const char* failing;
        int lastError;
        int exitCode;
        Names calls;
    };
    const std::string eeprom =
        "orvexconsumables: Can not get the EEPROM data. \n"
        "The setting of the function key can not change. \n"
        "Check the connection of the scanner\n";
    const Names upToArdosa = {"korwc_StartExcusive", "initlibrary", "SetFirmVersion",
                              "GetArdosaInfo", "korwc_GetLastErrorInfo"};
    const Names upToDialog = {"korwc_StartExcusive", "initlibrary",  "SetFirmVersion",
                              "GetArdosaInfo",       "OnInitDialog", "korwc_GetLastErrorInfo"};
    const Names upToEeprom = {"korwc_StartExcusive",   "initlibrary",  "SetFirmVersion",
                              "GetArdosaInfo",         "OnInitDialog", "GetEEPROMData",
                              "korwc_GetLastErrorInfo"};
    const Row rows[] = {
        {"GetArdosaInfo", 14, kExitNotConnected, upToArdosa},
        {"GetArdosaInfo", 3, kExitEepromUnreadable, upToArdosa},
        {"OnInitDialog", 14, kExitNotConnected, upToDialog},
        {"OnInitDialog", 0, kExitEepromUnreadable, upToDialog},
        {"GetEEPROMData", 14, kExitNotConnected, upToEeprom},
        {"GetEEPROMData", -1, kExitEepromUnreadable, upToEeprom},
    };
    for (const Row& row : rows) {
        SetUp();
        g_fake.results[row.failing] = 0;
        g_fake.iLastError = row.lastError;
        std::string printed = Open("ko-999:S1", -1);
        EXPECT_EQ(printed, row.exitCode == kExitNotConnected ? kNotConnectedLine : eeprom)
            << row.failing << " " << row.lastError;
        EXPECT_EQ(g_iErrCode, row.exitCode);
        EXPECT_EQ(CalledEntryPoints(), row.calls);
        EXPECT_FALSE(g_bOpened);
    }
}

TEST_F(SessionTest, BootModeRefusesOnlyTheFourModelsBelow0100) {
    struct Row {
        const char* name;
        const char* firmware;
        bool fetchSucceeds;
        bool opens;
        bool fetches;
    };
    const Row rows[] = {
        {"ko-550:scanner-1", "0099", true, false, true},
        {"ko-550:scanner-1", "0100", true, true, true},
        {"ko-550:scanner-1", "0100B", true, true, true},
        {"ko-650", "00FF", true, false, true},
        {"ko-540:x", "0200", true, true, true},
        {"ko-640:x", "", true, false, true},
        {"ko-640:x", "0000", false, true, true},
        {"ko-5500:x", "0000", true, true, false},
        {"Ko-550:x", "0000", true, true, false},
    };
    for (const Row& row : rows) {
        SetUp();
        g_fake.deviceNames = {row.name};
        g_fake.firmware = row.firmware;
        if (!row.fetchSucceeds) {
            g_fake.results["korwc_GetFirmVersion"] = 0x100;  // only the lowest byte counts
        }
        std::string printed = Open(row.name, row.opens ? 0 : -1);
        EXPECT_EQ(printed, row.opens ? "" : kNotConnectedLine) << row.name << " " << row.firmware;
        Names called = CalledEntryPoints();
        bool fetched = !called.empty() && called.size() > 1 && called[1] == "korwc_GetFirmVersion";
        EXPECT_EQ(fetched, row.fetches) << row.name;
        if (!row.opens) {
            EXPECT_EQ(g_iErrCode, kExitNotConnected);
            EXPECT_EQ(called.back(), "korwc_GetFirmVersion");
        }
    }
}

TEST_F(SessionTest, FailedAttemptKeepsTheNameCopiesForTheTeardown) {
    g_fake.results["GetArdosaInfo"] = 0;
    Open("ko-999:S1", -1);
    EXPECT_STREQ(g_cpActiveScanner, "ko-999:S1");
    EXPECT_STREQ(g_cpActiveScannerName, "ko-999");
}

TEST(ModelDesignation, IsTheFirstNonEmptyField) {
    struct Row {
        const char* name;
        const char* designation;
    };
    const Row rows[] = {
        {"ko-230xs:KV0001", "ko-230xs"}, {"VX-905R", "VX-905R"}, {"::ko-230xs::x", "ko-230xs"},
        {"ko-230xs:", "ko-230xs"},       {":::", nullptr},       {"", nullptr},
    };
    for (const Row& row : rows) {
        char* designation = CopyModelDesignation(row.name);
        if (row.designation == nullptr) {
            EXPECT_EQ(designation, nullptr) << row.name;
        } else {
            EXPECT_STREQ(designation, row.designation) << row.name;
        }
        free(designation);
    }
}

TEST_F(SessionTest, ValidNamesAreWholeAttachedNames) {
    g_fake.deviceNames = {"ko-230xs:A", "ko-330xs:B"};
    EXPECT_TRUE(IsValidScannerName("ko-330xs:B"));
    EXPECT_FALSE(IsValidScannerName("ko-330xs"));
    EXPECT_FALSE(IsValidScannerName("ko-330xs:B "));
    EXPECT_FALSE(IsValidScannerName("KO-330XS:B"));
    EXPECT_FALSE(IsValidScannerName(nullptr));
    g_fake.iDeviceCountOverride = 0;
    EXPECT_FALSE(IsValidScannerName("ko-230xs:A"));
    g_fake.iDeviceCountOverride = -2;
    EXPECT_FALSE(IsValidScannerName("ko-230xs:A"));
}

}  // namespace
