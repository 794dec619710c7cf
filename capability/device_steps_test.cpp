// Tests of the rules' device steps: the firmware gates at their boundaries, the error line of a
// failed fetch, and the inquiry bits.
#include "capability/rule_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "access/binding.h"
#include "access/paths.h"
#include "capability/dispatch.h"
#include "capability/rules.h"
#include "tests/support/expected.h"
#include "tests/support/fake_service_fixture.h"
#include "tests/support/files.h"
#include "tests/support/rule_context.h"

namespace {

// Every switch of the families below turned on, so that only the gates can turn one off.
const char kProfileAllOn[] =
    "ko-230 DEVSET_AUTOCROP_BOUNDARY1\nko-330 DEVSET_AUTOCROP_BOUNDARY1\n"
    "Ko-150 DEVSET_SCSI_BUS_WIDTH1\nKo-160 DEVSET_SCSI_BUS_WIDTH1\n";

class DeviceStepTest : public FakeServiceTest {
protected:
    void SetUp() override {
        FakeServiceTest::SetUp();
        ResetRuleScanner();
        savedProfilePath_ = g_cpProfilePath;
        profilePath_ = dir_.path() + "/zevlaunch.conf";
        WriteWholeFile(profilePath_, kProfileAllOn);
        g_cpProfilePath = profilePath_.c_str();
    }
    void TearDown() override {
        g_cpProfilePath = savedProfilePath_;
        FakeServiceTest::TearDown();
    }
    void SetActive(const std::string& designation) { SetActiveDesignation(designation); }

    const char* savedProfilePath_ = nullptr;
    TempDir dir_;
    std::string profilePath_;
};

// Runs the dispatch and shows what the tool would print: the firmware error line for each failed
// fetch, then the fields asked for and both firmware buffers, one line.
std::string DispatchAndShow(
    const std::vector<std::pair<const char*, int32_t CDevSet2Builder::*>>& fields) {
    int failuresBefore = testContext.iFirmwareFetchFailures;
    ArbitrateActive();
    std::string shown;
    for (int i = failuresBefore; i < testContext.iFirmwareFetchFailures; ++i) {
        shown += kFirmwareErrorLine;
    }
    for (const auto& [name, field] : fields) {
        shown += std::string(name) + "=" + std::to_string(testRecord.*field) + " ";
    }
    const char* velisa2 = testContext.szVelisa2FirmVer;
    return shown + "Tarvo3=\"" + testContext.szTarvo3FirmVer + "\" Velisa2=\"" +
           std::string(velisa2, strnlen(velisa2, kFirmwareTextSize)) + "\"\n";
}

struct FirmwareCase {
    const char* cpDesignation;
    const char* cpFirmware;
    int iFetchResult;  // what korwc_GetFirmVersion returns; the fake fills the buffer on true only
    const char* cpPreviousTarvo3;
    std::string expected;
};

TEST_F(DeviceStepTest, Gate0C30OnAutoCropBoundary) {
    const std::string error = kFirmwareErrorLine;
    const FirmwareCase cases[] = {
        {"ko-230xs", "0C2F", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        {"ko-230xs", "0C30", 1, "", "bAutoCropBoundary=1 Tarvo3=\"0C30\" Velisa2=\"\"\n"},
        {"ko-230xs", "0D00", 1, "", "bAutoCropBoundary=1 Tarvo3=\"0D00\" Velisa2=\"\"\n"},
        {"ko-230xs", "0C30AB", 1, "", "bAutoCropBoundary=1 Tarvo3=\"0C30\" Velisa2=\"\"\n"},
        {"ko-230xs", "0C2FZZ", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        {"ko-230xs", "0C3", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C3\" Velisa2=\"\"\n"},
        {"ko-225Exs", "0C2F", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        {"ko-225Exs", "0C30", 1, "", "bAutoCropBoundary=1 Tarvo3=\"0C30\" Velisa2=\"\"\n"},
        {"ko-330xs", "0C2F", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        {"ko-325Exs", "0C2F", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        {"ko-325Exs", "0C31", 1, "", "bAutoCropBoundary=1 Tarvo3=\"0C31\" Velisa2=\"\"\n"},
        // A failed fetch: the error line, and the gate works on what the buffer holds.
        {"ko-230xs", "0D00", 0, "", error + "bAutoCropBoundary=0 Tarvo3=\"\" Velisa2=\"\"\n"},
        {"ko-230xs", "0D00", 0x100, "", error + "bAutoCropBoundary=0 Tarvo3=\"\" Velisa2=\"\"\n"},
        {"ko-230xs", "0D00", 0, "0C31",
         error + "bAutoCropBoundary=1 Tarvo3=\"0C31\" Velisa2=\"\"\n"},
        {"ko-330xs", "0D00", 0, "0C2F9",
         error + "bAutoCropBoundary=0 Tarvo3=\"0C2F\" Velisa2=\"\"\n"},
        // The fetch without a gate.
        {"ko-225xs", "0A12", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0A12\" Velisa2=\"\"\n"},
        {"ko-120K2xs", "0B01XYZ", 1, "", "bAutoCropBoundary=0 Tarvo3=\"0B01\" Velisa2=\"\"\n"},
        {"ko-210xs", "0A00", 0, "", error + "bAutoCropBoundary=0 Tarvo3=\"\" Velisa2=\"\"\n"},
    };
    for (const FirmwareCase& c : cases) {
        SetActive(c.cpDesignation);
        g_fake.firmware = c.cpFirmware;
        g_fake.results["korwc_GetFirmVersion"] = c.iFetchResult;
        std::strcpy(testContext.szTarvo3FirmVer, c.cpPreviousTarvo3);
        EXPECT_EQ(DispatchAndShow({{"bAutoCropBoundary", &CDevSet2Builder::bAutoCropBoundary}}),
                  c.expected)
            << c.cpDesignation << " " << c.cpFirmware << " " << c.iFetchResult;
    }
}

TEST_F(DeviceStepTest, Gate0C30OnlyForTheFourDesignations) {
    // The same rule reached under another designation keeps the profile value.
    g_fake.firmware = "0C2F";
    for (const char* designation : {"ko-230", "ko-230xs:", "KO-230XS"}) {
        SetActive(designation);
        CDevSet2Builder record = {};
        Ko230Arbitrate(&record, ActiveRuleContext());
        EXPECT_EQ(record.bAutoCropBoundary, 1) << designation;
        EXPECT_STREQ(testContext.szTarvo3FirmVer, "0C2F");
    }
}

TEST_F(DeviceStepTest, Gate0D10OnFlag70AndPickRetry) {
    const std::string error = kFirmwareErrorLine;
    const FirmwareCase cases[] = {
        {"ko-430xs", "0D0F", 1, "", "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"0D0F\"\n"},
        {"ko-430xs", "0D10", 1, "", "bFlag70=1 bPickRetry=1 Tarvo3=\"\" Velisa2=\"0D10\"\n"},
        {"ko-430xs", "0D10A", 1, "", "bFlag70=1 bPickRetry=1 Tarvo3=\"\" Velisa2=\"0D10A\"\n"},
        {"ko-430xs", "0D1", 1, "", "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"0D1\"\n"},
        {"ko-430xs", "0E00", 1, "", "bFlag70=1 bPickRetry=1 Tarvo3=\"\" Velisa2=\"0E00\"\n"},
        {"ko-420xs", "0D0F", 1, "", "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"0D0F\"\n"},
        {"ko-410xs", "0D10", 1, "", "bFlag70=1 bPickRetry=1 Tarvo3=\"\" Velisa2=\"0D10\"\n"},
        {"ko-430xs", "0E00", 0, "", error + "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"\"\n"},
        // The Ko-430H families never set bFlag70; the gate still clears bPickRetry.
        {"Ko-430Hxs", "0D10", 1, "", "bFlag70=0 bPickRetry=1 Tarvo3=\"\" Velisa2=\"0D10\"\n"},
        {"Ko-430Hxs", "0D0F", 1, "", "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"0D0F\"\n"},
        {"Ko-430Hxs", "0D10", 0, "", error + "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"\"\n"},
        {"Ko-410Hxs", "0D0F", 1, "", "bFlag70=0 bPickRetry=0 Tarvo3=\"\" Velisa2=\"0D0F\"\n"},
        // The Tarvo3 text is not theirs: what an earlier fetch left there stays.
        {"ko-430xs", "0D10", 1, "0C31",
         "bFlag70=1 bPickRetry=1 Tarvo3=\"0C31\" Velisa2=\"0D10\"\n"},
    };
    for (const FirmwareCase& c : cases) {
        SetActive(c.cpDesignation);
        g_fake.firmware = c.cpFirmware;
        g_fake.results["korwc_GetFirmVersion"] = c.iFetchResult;
        ResetRuleScanner();  // each case starts from a fresh session
        SetActive(c.cpDesignation);
        std::strcpy(testContext.szTarvo3FirmVer, c.cpPreviousTarvo3);
        EXPECT_EQ(DispatchAndShow({{"bFlag70", &CDevSet2Builder::bFlag70},
                                   {"bPickRetry", &CDevSet2Builder::bPickRetry}}),
                  c.expected)
            << c.cpDesignation << " " << c.cpFirmware << " " << c.iFetchResult;
    }
}

TEST_F(DeviceStepTest, FirmwareFillingTheWholeBufferIsCutAndComparedSafely) {
    // Sixteen characters and no terminator from the library: the cut and the five-byte
    // comparison stay inside the buffers.
    g_fcpkorwc_GetFirmVersion = [](const char*, char* buffer, int size) {
        std::memset(buffer, '9', static_cast<size_t>(size));
        return 1;
    };
    SetActive("ko-230xs");
    ArbitrateActive();
    EXPECT_STREQ(testContext.szTarvo3FirmVer, "9999");
    EXPECT_EQ(testRecord.bAutoCropBoundary, 1);
    SetActive("ko-430xs");
    ArbitrateActive();
    EXPECT_EQ(std::string(testContext.szVelisa2FirmVer, 16), std::string(16, '9'));
    EXPECT_EQ(testRecord.bPickRetry, 1);
}

// An inquiry that writes its bytes whatever it returns.
int g_iInquiryResult = 1;
std::vector<unsigned char> g_inquiryBytes;
int InquiryFillingAlways(const char*, unsigned char* buffer, int length, int) {
    for (int i = 0; i < length && i < static_cast<int>(g_inquiryBytes.size()); ++i) {
        buffer[i] = g_inquiryBytes[static_cast<size_t>(i)];
    }
    return g_iInquiryResult;
}

struct InquiryCase {
    const char* cpDesignation;
    size_t uiByte;
    unsigned char ucValue;
    int iResult;
    bool bFillsOnFailure;  // the library writes the bytes even when it returns false
    int32_t CDevSet2Builder::*pField;
    int32_t iExpected;
};

TEST_F(DeviceStepTest, InquiryBits) {
    using B = CDevSet2Builder;
    const InquiryCase cases[] = {
        {"ko-550xs", 116, 0x08, 1, false, &B::bFlag75, 1},
        {"ko-550xs", 116, 0x10, 1, false, &B::bFlag75, 1},
        {"ko-550xs", 116, 0x18, 1, false, &B::bFlag75, 1},
        {"ko-550xs", 116, 0x04, 1, false, &B::bFlag75, 0},
        {"ko-550xs", 116, 0x20, 1, false, &B::bFlag75, 0},
        {"ko-550xs", 115, 0x18, 1, false, &B::bFlag75, 0},
        {"ko-550xs", 116, 0x08, 0, false, &B::bFlag75, 0},
        {"ko-550xs", 116, 0x08, 0, true, &B::bFlag75, 1},  // the result is not looked at
        {"ko-650xs", 116, 0x10, 1, false, &B::bFlag75, 1},
        {"ko-540xs", 116, 0x10, 1, false, &B::bFlag75, 1},
        {"ko-640xs", 116, 0x08, 1, false, &B::bFlag75, 1},
        {"ko-530", 116, 0x18, 1, false, &B::bFlag75, 1},
        {"ko-615", 116, 0x08, 1, false, &B::bFlag75, 1},
        {"ko-630", 116, 0x04, 1, false, &B::bFlag75, 0},
        {"Ko-440xs", 114, 0x80, 1, false, &B::bFlag72, 1},
        {"ko-440xs", 114, 0xFF, 1, false, &B::bFlag72, 1},
        {"Ko-440xs", 114, 0x7F, 1, false, &B::bFlag72, 0},
        {"Ko-440xs", 113, 0x80, 1, false, &B::bFlag72, 0},
        {"Ko-440xs", 114, 0x80, 0, false, &B::bFlag72, 0},
        {"Ko-440xs", 114, 0x80, 0, true, &B::bFlag72, 0},
        {"Ko-440xs", 114, 0x80, 0x100, true, &B::bFlag72, 0},
        {"Ko-150xs", 109, 0x01, 1, false, &B::bScsiBusWidth, 0},
        {"Ko-150xs", 109, 0x03, 1, false, &B::bScsiBusWidth, 0},
        {"Ko-150xs", 109, 0x02, 1, false, &B::bScsiBusWidth, 1},
        {"Ko-150xs", 108, 0x01, 1, false, &B::bScsiBusWidth, 1},
        {"Ko-150xs", 109, 0x01, 0, false, &B::bScsiBusWidth, 1},
        {"Ko-150xs", 109, 0x01, 0, true, &B::bScsiBusWidth, 1},
        {"Ko-160xs", 109, 0x01, 1, false, &B::bScsiBusWidth, 0},
        {"Ko-160xs", 109, 0x02, 1, false, &B::bScsiBusWidth, 1},
    };
    g_fcpkorwc_InquiryVPD = InquiryFillingAlways;
    for (const InquiryCase& c : cases) {
        SetActive(c.cpDesignation);
        g_inquiryBytes.assign(c.uiByte + 1, 0);
        g_inquiryBytes[c.uiByte] = c.ucValue;
        if (!IsLibraryTrue(c.iResult) && !c.bFillsOnFailure) {
            g_inquiryBytes.clear();
        }
        g_iInquiryResult = c.iResult;
        ArbitrateActive();
        EXPECT_EQ(testRecord.*c.pField, c.iExpected)
            << c.cpDesignation << " byte " << c.uiByte << " = " << int{c.ucValue} << " result "
            << c.iResult << (c.bFillsOnFailure ? " filled" : "");
    }
}

TEST_F(DeviceStepTest, InquiryRequests) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ko-150xs", "korwc_InquiryVPD(\"Ko-150xs:SN0001\", buffer, 112, 0) = 1"},
        {"Ko-160xs", "korwc_InquiryVPD(\"Ko-160xs:SN0001\", buffer, 112, 0) = 1"},
        {"Ko-440xs", "korwc_InquiryVPD(\"Ko-440xs:SN0001\", buffer, 144, 0) = 1"},
        {"ko-550xs", "korwc_InquiryVPD(\"ko-550xs:SN0001\", buffer, 117, 0) = 1"},
    };
    for (const auto& [designation, call] : cases) {
        SetActive(designation);
        g_fake.calls.clear();
        ArbitrateActive();
        EXPECT_EQ(g_fake.calls, std::vector<std::string>{call});
    }
}

TEST_F(DeviceStepTest, Ko160AutoCropBoundaryIsAlwaysOff) {
    SetActive("Ko-160xs");
    WriteWholeFile(profilePath_, "Ko-160 DEVSET_AUTOCROP_BOUNDARY1");
    ArbitrateActive();
    EXPECT_EQ(testRecord.bAutoCropBoundary, 0);
}

}  // namespace
