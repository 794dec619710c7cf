// The information report, compared whole for several scanner configurations.
#include "consumables/report_view.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/fake_service_fixture.h"

namespace {

// The parts of the plain fake scanner's report that most cases leave as they are.
const std::string kIdentification =
    "Device Info:\n"
    " Product Identification:\tko-330xs\n"
    " Product Revision:\t\t1.00\n"
    " Serial Number:\t\t\tFAKE0001\n";
const std::string kTotals =
    "Device Setting:\n"
    " Total Count (ADF):\t\t12000 Sheets\n"
    " Total Count (FB):\t\t340 Sheets\n";
const std::string kCounters =
    " After cleaning:\t\t700 Sheets\n"
    " Brake Roller:\t\t\t5000 Sheets\n"
    " Pick Roller:\t\t\t6000 Sheets\n";
const std::string kPower =
    " Power saving:\t\t\t15 Minutes\n"
    " Power off:\t\t\t2 Hours\n";
const std::string kZeroOffsets =
    "Offset Setting:\n"
    " ADF(front):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "  End of page:\t\t\t0*0.5mm\n"
    " ADF(back):\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "  End of page:\t\t\t0*0.5mm\n"
    " Flatbed:\t\n"
    "  Main:\t\t\t\t0*0.5mm\n"
    "  Sub:\t\t\t\t0*0.5mm\n"
    "Vertical magnification adjustment:\n"
    " ADF:\t\t\t\t0.0%\n"
    " Flatbed:\t\t\t0.0%\n";

class ReportTest : public FakeServiceTest {
protected:
    // The report text of the fake scanner's records as configured.
    static std::string Report() {
        device_snapshot snapshot{g_fake.ardosa, g_fake.device, g_fake.offsets};
        char* text = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&text, &size);
        EXPECT_TRUE(RenderReportText(BuildReportView(snapshot), out));
        std::fclose(out);
        std::string result(text, size);
        std::free(text);
        return result;
    }
};

TEST_F(ReportTest, PlainScannerReportsEveryLine) {
    EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + kPower + kZeroOffsets);
}

TEST_F(ReportTest, OffsetsAndMagnificationsAreSigned) {
    offset_data& o = g_fake.offsets;
    o.iAdfFrontMain = -2;
    o.iAdfFrontSub = 3;
    o.iAdfFrontEndOfPage = 1;
    o.iAdfBackMain = 4;
    o.iAdfBackSub = -4;
    o.iAdfBackEndOfPage = -1;
    o.iFbMain = 2;
    o.iFbSub = -3;
    o.iAdfMagnification = 15;
    o.iFbMagnification = -31;
    EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + kPower +
                            "Offset Setting:\n"
                            " ADF(front):\t\n"
                            "  Main:\t\t\t\t-2*0.5mm\n"
                            "  Sub:\t\t\t\t3*0.5mm\n"
                            "  End of page:\t\t\t1*0.5mm\n"
                            " ADF(back):\t\n"
                            "  Main:\t\t\t\t4*0.5mm\n"
                            "  Sub:\t\t\t\t-4*0.5mm\n"
                            "  End of page:\t\t\t-1*0.5mm\n"
                            " Flatbed:\t\n"
                            "  Main:\t\t\t\t2*0.5mm\n"
                            "  Sub:\t\t\t\t-3*0.5mm\n"
                            "Vertical magnification adjustment:\n"
                            " ADF:\t\t\t\t1.5%\n"
                            " Flatbed:\t\t\t-3.1%\n");
}

TEST_F(ReportTest, MagnificationIsTenthsOfAPercent) {
    struct Row {
        int tenths;
        const char* printed;
    };
    const Row rows[] = {{15, "1.5"}, {-31, "-3.1"}, {0, "0.0"}, {-5, "-0.5"}, {31, "3.1"}};
    for (const Row& row : rows) {
        g_fake.offsets.iAdfMagnification = row.tenths;
        g_fake.offsets.bFlatbed = 0;
        EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + kPower +
                                "Offset Setting:\n"
                                " ADF(front):\t\n"
                                "  Main:\t\t\t\t0*0.5mm\n"
                                "  Sub:\t\t\t\t0*0.5mm\n"
                                "  End of page:\t\t\t0*0.5mm\n"
                                " ADF(back):\t\n"
                                "  Main:\t\t\t\t0*0.5mm\n"
                                "  Sub:\t\t\t\t0*0.5mm\n"
                                "  End of page:\t\t\t0*0.5mm\n"
                                "Vertical magnification adjustment:\n"
                                " ADF:\t\t\t\t" +
                                std::string(row.printed) + "%\n")
            << row.tenths;
    }
}

TEST_F(ReportTest, OffsetBlockFollowsEndOfPageAndFlatbedFlags) {
    struct Row {
        unsigned char endOfPage;
        unsigned char flatbed;
        std::string expected;
    };
    const std::string adfFront =
        "Offset Setting:\n ADF(front):\t\n  Main:\t\t\t\t0*0.5mm\n"
        "  Sub:\t\t\t\t0*0.5mm\n";
    const std::string adfBack = " ADF(back):\t\n  Main:\t\t\t\t0*0.5mm\n  Sub:\t\t\t\t0*0.5mm\n";
    const std::string endOfPage = "  End of page:\t\t\t0*0.5mm\n";
    const std::string flatbed = " Flatbed:\t\n  Main:\t\t\t\t0*0.5mm\n  Sub:\t\t\t\t0*0.5mm\n";
    const std::string magnification = "Vertical magnification adjustment:\n ADF:\t\t\t\t0.0%\n";
    const std::string flatbedMagnification = " Flatbed:\t\t\t0.0%\n";
    const Row rows[] = {
        {0, 0, adfFront + adfBack + magnification},
        {1, 0, adfFront + endOfPage + adfBack + endOfPage + magnification},
        {0, 1, adfFront + adfBack + flatbed + magnification + flatbedMagnification},
        {1, 1, kZeroOffsets},
    };
    for (const Row& row : rows) {
        g_fake.offsets.bEndOfPage = row.endOfPage;
        g_fake.offsets.bFlatbed = row.flatbed;
        EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + kPower + row.expected)
            << int(row.endOfPage) << int(row.flatbed);
    }
}

TEST_F(ReportTest, WithoutOffsetsTheReportEndsAfterPowerOff) {
    g_fake.offsets.bOffsetSupported = 0;
    EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + kPower);
}

TEST_F(ReportTest, BareScannerHasIdentificationAndTotalsOnly) {
    g_fake.ardosa.cpRollerLabel = nullptr;
    g_fake.ardosa.cpPickLabel = nullptr;
    g_fake.ardosa.cpCleaningLabel = nullptr;
    g_fake.ardosa.bHasFlatbed = 0;
    g_fake.ardosa.bPowerSaveSupported = 0;
    g_fake.ardosa.bPowerOffSupported = 0;
    g_fake.offsets.bOffsetSupported = 0;
    g_fake.offsets.bFlatbed = 1;  // flatbed offsets depend on the offset record alone
    EXPECT_EQ(Report(), kIdentification +
                            "Device Setting:\n"
                            " Total Count (ADF):\t\t12000 Sheets\n");
}

TEST_F(ReportTest, CountersShowTheirLabelsTabsAndMarks) {
    struct Row {
        const char* rollerLabel;
        int cleaningMark1, rollerMark1, rollerMark2, pickMark1, pickMark2;
        std::string expected;
    };
    const Row rows[] = {
        {"Pad:", 0, 0, 1, 1, 1,
         " After cleaning:\t\t700 Sheets\n Pad:\t\t\t\t5000 Sheets(**)\n"
         " Pick Roller:\t\t\t6000 Sheets(*)\n"},
        {"Roller Set:", 1, 1, 1, 0, 1,
         " After cleaning:\t\t700 Sheets(*)\n Roller Set:\t\t\t5000 Sheets(*)\n"
         " Pick Roller:\t\t\t6000 Sheets(**)\n"},
        {"Brake Roller:", 0, 1, 0, 0, 0,
         " After cleaning:\t\t700 Sheets\n Brake Roller:\t\t\t5000 Sheets(*)\n"
         " Pick Roller:\t\t\t6000 Sheets\n"},
        // A label the tool does not know is still reported, with three tabs.
        {"Pad: ", 0, 0, 0, 0, 0,
         " After cleaning:\t\t700 Sheets\n Pad: \t\t\t5000 Sheets\n"
         " Pick Roller:\t\t\t6000 Sheets\n"},
        {"pad:", 0, 0, 0, 0, 0,
         " After cleaning:\t\t700 Sheets\n pad:\t\t\t5000 Sheets\n"
         " Pick Roller:\t\t\t6000 Sheets\n"},
        {nullptr, 0, 1, 1, 0, 0,
         " After cleaning:\t\t700 Sheets\n Pick Roller:\t\t\t6000 Sheets\n"},
    };
    for (const Row& row : rows) {
        InstallFakeService();
        ardosa_info& a = g_fake.ardosa;
        a.cpRollerLabel = row.rollerLabel;
        a.bCleaningMark1 = row.cleaningMark1;
        a.bRollerMark1 = row.rollerMark1;
        a.bRollerMark2 = row.rollerMark2;
        a.bPickMark1 = row.pickMark1;
        a.bPickMark2 = row.pickMark2;
        EXPECT_EQ(Report(), kIdentification + kTotals + row.expected + kPower + kZeroOffsets)
            << (row.rollerLabel ? row.rollerLabel : "(null)");
    }
}

TEST_F(ReportTest, PadWithTheSecondMarkOnly) {
    g_fake.ardosa.cpRollerLabel = "Pad:";
    g_fake.ardosa.iRollerCount = 1200;
    g_fake.ardosa.bRollerMark2 = 1;
    g_fake.ardosa.cpCleaningLabel = nullptr;
    g_fake.ardosa.cpPickLabel = nullptr;
    EXPECT_EQ(Report(),
              kIdentification + kTotals + " Pad:\t\t\t\t1200 Sheets(**)\n" + kPower + kZeroOffsets);
}

TEST_F(ReportTest, InitialUseOnlyForThreeModels) {
    struct Row {
        const char* productId;
        bool shown;
    };
    const Row rows[] = {
        {"VX-901R", true},  {"VX-905R extra text", true}, {"VX-913R", true},   {"VX-905", false},
        {"VX-900R", false}, {"vx-905R", false},           {" VX-905R", false}, {"ko-330xs", false},
    };
    for (const Row& row : rows) {
        InstallFakeService();
        std::strcpy(g_fake.device.szProductId, row.productId);
        std::strcpy(g_fake.device.szInitialUse, "2021/03/04");
        std::string expected = "Device Info:\n Product Identification:\t" +
                               std::string(row.productId) + "\n Product Revision:\t\t1.00\n" +
                               (row.shown ? " Initial Use:\t\t\t2021/03/04\n" : "") +
                               " Serial Number:\t\t\tFAKE0001\n";
        EXPECT_EQ(Report(), expected + kTotals + kCounters + kPower + kZeroOffsets)
            << row.productId;
    }
}

TEST_F(ReportTest, TextsWithoutTerminatorStopAtTheirFieldEnd) {
    device_info& d = g_fake.device;
    std::memset(d.szProductId, 'P', sizeof d.szProductId);
    std::memcpy(d.szProductId, "VX-913R", 7);
    std::memset(d.szRevision, 'R', sizeof d.szRevision);
    std::memset(d.szInitialUse, 'I', sizeof d.szInitialUse);
    std::memset(d.szSerialNumber, 'S', sizeof d.szSerialNumber);
    std::string expected = "Device Info:\n Product Identification:\tVX-913R" +
                           std::string(25, 'P') + "\n Product Revision:\t\t" + std::string(5, 'R') +
                           "\n Initial Use:\t\t\t" + std::string(42, 'I') +
                           "\n Serial Number:\t\t\t" + std::string(568, 'S') + "\n";
    EXPECT_EQ(Report(), expected + kTotals + kCounters + kPower + kZeroOffsets);
}

TEST_F(ReportTest, SleepStepBeyondTheLargestIsClamped) {
    struct Row {
        int step, maxStep;
        const char* minutes;
    };
    const Row rows[] = {{12, 8, "40"}, {8, 8, "40"}, {3, 12, "15"}, {0, 12, "0"}};
    for (const Row& row : rows) {
        g_fake.ardosa.iSleepStep = row.step;
        g_fake.ardosa.iSleepMaxStep = row.maxStep;
        EXPECT_EQ(Report(), kIdentification + kTotals + kCounters + " Power saving:\t\t\t" +
                                row.minutes + " Minutes\n Power off:\t\t\t2 Hours\n" + kZeroOffsets)
            << row.step;
    }
}

TEST_F(ReportTest, PowerOffText) {
    struct Row {
        int active, setting;
        const char* text;
    };
    const Row rows[] = {
        {1, 0, "1 Hour"},   {1, 1, "2 Hours"},   {1, 2, "4 Hours"},  {1, 3, "8 Hours"},
        {0, 0, "inactive"}, {0, 2, "inactive"},  {0, 9, "inactive"}, {1, 4, "unknown"},
        {1, -1, "unknown"}, {1, 128, "unknown"},
    };
    for (const Row& row : rows) {
        g_fake.ardosa.bPowerOffActive = row.active;
        g_fake.ardosa.iPowerOffSetting = row.setting;
        EXPECT_EQ(Report(), kIdentification + kTotals + kCounters +
                                " Power saving:\t\t\t15 Minutes\n Power off:\t\t\t" + row.text +
                                "\n" + kZeroOffsets)
            << row.active << " " << row.setting;
    }
}

}  // namespace
