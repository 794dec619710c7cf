// Walks every row of the model dispatch table and checks the whole capability record against the
// record the model's rule must give, with no launcher profile and with one that switches every key.
#include "capability/dispatch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "access/paths.h"
#include "capability/profile.h"
#include "capability/rules.h"
#include "tests/support/fake_service_fixture.h"
#include "tests/support/files.h"
#include "tests/support/rule_context.h"

namespace {

// The record's 80 fields in order, with the profile key (without DEVSET_) that fills each.
struct FieldRow {
    const char* cpField;
    const char* cpKey;
};
const FieldRow kFields[80] = {
    {"bDoubleFeed", "DOUBLEFEED"},
    {"bDelFrameAdf", "DELFRAME_ADF"},
    {"bDelFrameFb", "DELFRAME_FB"},
    {"bEndorserOnOff", "ENDORSER_ONOFF"},
    {"bEndorserDigit", "ENDORSER_DIGIT"},
    {"bEndorserInitial", "ENDORSER_INITIAL"},
    {"bEndorserEmptyReset", "ENDORSER_EMPTYRESET"},
    {"bFbFine", "FB_FINE"},
    {"bDropoutColor", "DROPOUTCOLOR"},
    {"bPrePick", "PREPICK"},
    {"bThinPaper", "THINPAPER"},
    {"bAutoCrop", "AUTOCROP"},
    {"bAutoCropFrame", "AUTOCROP_FRAME"},
    {"bSensorPosition", "SENSOR_POSITION"},
    {"iSpare14", nullptr},
    {"iSpare15", nullptr},
    {"bMfIgnore", "MF_IGNORE"},
    {"bMfScan", "MF_SCAN"},
    {"bPickRetry", "PICKRETRY"},
    {"bPanelSetting", "PANEL_SETTING"},
    {"bManualFeedMf", "MANUALFEED_MF"},
    {"bAddrSet", "ADDR_SET"},
    {"bAddrPickRoller", "ADDR_PICKROLLER"},
    {"bAddrBrakeRoller", "ADDR_BRAKEROLLER"},
    {"bAddrSepPad", "ADDR_SEPPAD"},
    {"bAddrSepRoller", "ADDR_SEPROLLER"},
    {"bOverscanPlus", "OVERSCANPLUS"},
    {"bTatesujiDetection", "TATESUJIDETECTION"},
    {"bTatesujiLevel", "TATESUJILEVEL"},
    {"bTatesujiJokyo", "TATESUJIJOKYO"},
    {"iSpare30", nullptr},
    {"bThinPaper2", "THINPAPER2"},
    {"bJamDetection", "JAM_DETECTION"},
    {"bFlag33", nullptr},
    {"bFlag34", nullptr},
    {"bSmallPaperMode", "SMALLPAPER_MODE"},
    {"bAutoCropBoundary", "AUTOCROP_BOUNDARY"},
    {"bInterface", "INTERFACE"},
    {"bScsiBusWidth", "SCSI_BUS_WIDTH"},
    {"bColorDetection", "COLOER_DETECTION"},
    {"bStacker", "STACKER"},
    {"bSkewDetection", "SKEW_DETECTION"},
    {"bAlarm", "ALARM"},
    {"bSkewJamDetection", "SKEW_JAM_DETECTION"},
    {"bSelectInprinter", "SELECT_INPRINTER"},
    {"bManualTimeout", "MANUAL_TIMEOUT"},
    {"bFlag46", nullptr},
    {"bFlag47", nullptr},
    {"bFlag48", nullptr},
    {"bFlag49", nullptr},
    {"bSoftPick", "SOFTPICK"},
    {"bCleaningTerms", "CLEANING_TERMS"},
    {"bTabCrop", "TABCROP"},
    {"bTabCropVrs", "TABCROP_VRS"},
    {"bDenseBackground", "DENSE_BACKGROUND"},
    {"bOverUnderCrop", "OVERUNDERCROP"},
    {"bFlag56", nullptr},
    {"bTabCrop2", "TABCROP"},
    {"bTabCropVrs2", "TABCROP_VRS"},
    {"iSpare59", nullptr},
    {"bFlag60", nullptr},
    {"iSpare61", nullptr},
    {"iSpare62", nullptr},
    {"bMaintenanceTerms", "MAINTENANCE_TERMS"},
    {"bFlag64", nullptr},
    {"bPickSpeed", "PICKSPEED"},
    {"iSpare66", nullptr},
    {"bFlag67", nullptr},
    {"bFlag68", nullptr},
    {"bFlag69", nullptr},
    {"bFlag70", nullptr},
    {"bFlag71", nullptr},
    {"bFlag72", nullptr},
    {"bFlag73", nullptr},
    {"bKouchiMode", "KOUCHIMODE"},
    {"bFlag75", nullptr},
    {"bJpegCompression", "JPEGCOMPRESSION"},
    {"bFlag77", nullptr},
    {"bFlag78", nullptr},
    {"iSpare79", nullptr},
};

using Record = std::vector<int32_t>;

size_t FieldIndex(const std::string& field) {
    for (size_t i = 0; i < 80; ++i) {
        if (field == kFields[i].cpField) {
            return i;
        }
    }
    ADD_FAILURE() << "no field " << field;
    return 0;
}

// The first field that a key fills unless the rule says otherwise.
size_t KeyIndex(const std::string& key) {
    for (size_t i = 0; i < 80; ++i) {
        if (kFields[i].cpKey != nullptr && key == kFields[i].cpKey) {
            return i;
        }
    }
    ADD_FAILURE() << "no key " << key;
    return 0;
}

Record ToRecord(const CDevSet2Builder& record) {
    Record values(80);
    std::memcpy(values.data(), &record, sizeof record);
    return values;
}

std::string Describe(const Record& actual, const Record& expected) {
    std::string text;
    for (size_t i = 0; i < 80; ++i) {
        if (actual[i] != expected[i]) {
            text += std::string(" ") + kFields[i].cpField + "=" + std::to_string(actual[i]) +
                    " (want " + std::to_string(expected[i]) + ")";
        }
    }
    return text;
}

// What a rule fetches from the scanner.
enum class Fetch { kNone, kFirmware, kFirmwareOwn, kInquiry112, kInquiry144, kInquiry117 };

// A rule as its table states it. Keys: NAME (default 1), NAME(0), NAME>field for another field,
// -NAME leaves NAME out of what came before. Constants: field (= 1) or field=0, in order.
struct RuleExpectation {
    const char* cpRule;
    const char* cpSection;  // null: no lookups
    std::string keys;
    std::string constants;
    Fetch eFetch;
};

const std::string kBase =
    "DOUBLEFEED DELFRAME_ADF DROPOUTCOLOR PREPICK SENSOR_POSITION MF_IGNORE PICKRETRY ADDR_SET "
    "ADDR_PICKROLLER ADDR_BRAKEROLLER ";
const std::string kLong =
    "DOUBLEFEED DELFRAME_ADF DROPOUTCOLOR PREPICK AUTOCROP_FRAME SENSOR_POSITION MF_IGNORE MF_SCAN "
    "PICKRETRY PANEL_SETTING MANUALFEED_MF ADDR_SET ADDR_PICKROLLER ADDR_BRAKEROLLER ADDR_SEPPAD "
    "ADDR_SEPROLLER OVERSCANPLUS TATESUJIJOKYO(0) THINPAPER2 JAM_DETECTION SMALLPAPER_MODE(0) "
    "AUTOCROP_BOUNDARY INTERFACE(0) SCSI_BUS_WIDTH COLOER_DETECTION STACKER(0) SKEW_DETECTION(0) "
    "ALARM SKEW_JAM_DETECTION SELECT_INPRINTER MANUAL_TIMEOUT SOFTPICK CLEANING_TERMS TABCROP "
    "TABCROP_VRS DENSE_BACKGROUND OVERUNDERCROP ";
const std::string k550Keys =
    "CLEANING_TERMS MAINTENANCE_TERMS TATESUJIDETECTION TATESUJILEVEL PICKSPEED AUTOCROP_BOUNDARY "
    "KOUCHIMODE";
const std::string k530Keys =
    "CLEANING_TERMS TATESUJIDETECTION TATESUJILEVEL PICKSPEED AUTOCROP_BOUNDARY KOUCHIMODE";
const std::string k430HKeys =
    "DOUBLEFEED SENSOR_POSITION MF_IGNORE CLEANING_TERMS ADDR_SET ADDR_PICKROLLER "
    "ADDR_BRAKEROLLER SCSI_BUS_WIDTH TABCROP_VRS>bTabCropVrs2 DENSE_BACKGROUND OVERUNDERCROP "
    "JPEGCOMPRESSION(0)";
const std::string k430Keys =
    "DOUBLEFEED DELFRAME_ADF DELFRAME_FB DROPOUTCOLOR PREPICK SENSOR_POSITION MF_IGNORE "
    "CLEANING_TERMS ADDR_SET ADDR_PICKROLLER ADDR_BRAKEROLLER AUTOCROP_BOUNDARY TABCROP>bTabCrop2 "
    "JPEGCOMPRESSION(0)";
const std::string kTarvo4Mb =
    "bDoubleFeed bDelFrameAdf bDropoutColor bPrePick bSensorPosition bMfIgnore bPickRetry "
    "bAddrSet bAddrPickRoller bAddrBrakeRoller bAutoCropBoundary bKouchiMode bFlag33 bFlag46 "
    "bFlag47 bFlag48";

const std::vector<RuleExpectation>& Rules() {
    static const std::vector<RuleExpectation> rules = {
        {"Ko230", "ko-230", kBase + "DELFRAME_FB(0) AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48", Fetch::kFirmware},
        {"Ko330", "ko-330", kBase + "DELFRAME_FB AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48", Fetch::kFirmware},
        {"Ko225", "ko-225", kBase + "DELFRAME_FB(0)", "bFlag46 bFlag47", Fetch::kFirmware},
        {"Ko325", "ko-325", kBase + "DELFRAME_FB", "bFlag46 bFlag47", Fetch::kFirmware},
        {"Ko220", "ko-220", kBase + "DELFRAME_FB(0)", "bFlag46 bFlag47", Fetch::kFirmware},
        {"Ko320", "ko-320", kBase + "DELFRAME_FB", "bFlag46 bFlag47", Fetch::kFirmware},
        {"Ko210", "ko-210", kBase + "-PREPICK", "bFlag47", Fetch::kFirmware},
        {"Ko120K2", "ko-120K2", "SENSOR_POSITION", "bFlag47", Fetch::kFirmware},
        {"Ko230W", "ko-230W", kBase + "DELFRAME_FB(0) AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48 bFlag73", Fetch::kNone},
        {"Ko330W", "ko-330W", kBase + "DELFRAME_FB AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48 bFlag73", Fetch::kNone},
        {"Ko225W", "ko-225W", kBase + "DELFRAME_FB(0) AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48", Fetch::kNone},
        {"Ko325W", "ko-325W", kBase + "DELFRAME_FB AUTOCROP_BOUNDARY",
         "bFlag33 bFlag46 bFlag47 bFlag48", Fetch::kNone},
        {"Ko550", "ko-550", kBase + "DELFRAME_FB(0) " + k550Keys,
         "bFlag34 bFlag46 bFlag47 bFlag49 bFlag73", Fetch::kInquiry117},
        {"Ko650", "ko-650", kBase + "DELFRAME_FB " + k550Keys,
         "bFlag34 bFlag46 bFlag47 bFlag49 bFlag73", Fetch::kInquiry117},
        {"Ko540", "ko-540", kBase + "DELFRAME_FB(0) " + k550Keys, "bFlag34 bFlag46 bFlag47 bFlag49",
         Fetch::kInquiry117},
        {"Ko640", "ko-640", kBase + "DELFRAME_FB " + k550Keys, "bFlag34 bFlag46 bFlag47 bFlag49",
         Fetch::kInquiry117},
        {"Ko530", "ko-530", kBase + "DELFRAME_FB(0) " + k530Keys, "bFlag33 bFlag46 bFlag47 bFlag48",
         Fetch::kInquiry117},
        {"Ko630", "ko-630", kBase + "DELFRAME_FB " + k530Keys, "bFlag33 bFlag46 bFlag47 bFlag48",
         Fetch::kInquiry117},
        {"Ko720", "ko-720", kBase + k550Keys,
         "bFlag34 bFlag47 bFlag49 bFlag70 bFlag75 bFlag77 bFlag78", Fetch::kNone},
        {"Ko510", "ko-510",
         kBase + "-PREPICK CLEANING_TERMS TATESUJIDETECTION TATESUJILEVEL AUTOCROP_BOUNDARY "
                 "KOUCHIMODE",
         "bFlag46 bFlag47 bFlag75", Fetch::kNone},
        {"Ko90G", "ko-90G", "DELFRAME_FB DROPOUTCOLOR", "bFlag47", Fetch::kNone},
        {"VX52", "VX52", kBase + "-MF_IGNORE DELFRAME_FB(0) KOUCHIMODE", "bFlag46 bFlag47",
         Fetch::kNone},
        {"VX63", "VX63", kBase + "-MF_IGNORE DELFRAME_FB(0) KOUCHIMODE", "bFlag46 bFlag47",
         Fetch::kNone},
        {"VX63G", "VX63G", kBase + "-MF_IGNORE DELFRAME_FB KOUCHIMODE", "bFlag46 bFlag47",
         Fetch::kNone},
        {"Ko130", "ko-140",
         "DOUBLEFEED DELFRAME_ADF DROPOUTCOLOR PREPICK DELFRAME_FB ENDORSER_ONOFF ENDORSER_DIGIT "
         "ENDORSER_INITIAL ENDORSER_EMPTYRESET FB_FINE(0) THINPAPER(0) AUTOCROP",
         "", Fetch::kNone},
        {"Ko150", "Ko-150", kLong, "bFlag68=0 bFlag69=0 bFlag70=0 bFlag71=0", Fetch::kInquiry112},
        {"Ko160", "Ko-160", kLong + "JPEGCOMPRESSION(0)",
         "bAutoCropBoundary=0 bFlag68 bFlag69 bFlag70 bFlag71", Fetch::kInquiry112},
        {"Ko440", "Ko-440",
         kLong + "-MF_SCAN -THINPAPER2 -JAM_DETECTION -SCSI_BUS_WIDTH -TABCROP_VRS "
                 "-DENSE_BACKGROUND -OVERUNDERCROP JPEGCOMPRESSION(0)",
         "bMfScan=0 bDenseBackground=0 bFlag60=0 bFlag64=0 bFlag67=0 bFlag72=0 bFlag33 bFlag48 "
         "bFlag70 bMaintenanceTerms bPickSpeed",
         Fetch::kInquiry144},
        {"Ko430H", "Ko-430H", k430HKeys, "bPickRetry bFlag46 bFlag47 bFlag56", Fetch::kFirmwareOwn},
        {"Ko410H", "Ko-410H", k430HKeys, "bPickRetry bFlag46 bFlag47 bFlag56", Fetch::kFirmwareOwn},
        {"Ko430", "ko-430", k430Keys, "bPickRetry bFlag46 bFlag47 bFlag56 bFlag70",
         Fetch::kFirmwareOwn},
        {"Ko420", "ko-420", k430Keys, "bPickRetry bFlag46 bFlag47 bFlag56 bFlag70",
         Fetch::kFirmwareOwn},
        {"Ko410", "ko-410", k430Keys + " -DELFRAME_FB",
         "bPickRetry bFlag46 bFlag47 bFlag56 bFlag70", Fetch::kFirmwareOwn},
        {"TARVO4MB_", nullptr, "", "bDelFrameFb=0 " + kTarvo4Mb, Fetch::kNone},
        {"TARVO4MB_FB_", nullptr, "", "bDelFrameFb=1 " + kTarvo4Mb, Fetch::kNone},
        {"R800", nullptr, "",
         "bDoubleFeed bDelFrameAdf bDropoutColor bSensorPosition bMfIgnore bPickRetry bAddrSet "
         "bAddrPickRoller bAddrBrakeRoller bAutoCropBoundary bKouchiMode",
         Fetch::kNone},
        {"Ko110", nullptr, "", "bFlag47", Fetch::kNone},
        {"VX708", nullptr, "", "bFlag75", Fetch::kNone},
    };
    return rules;
}

// The 59 designations in table order with the rule (name without "Arbitrate") each selects.
const std::pair<const char*, const char*> kDispatch[59] = {
    {"ko-130xs", "Ko130"},
    {"ko-140xs", "Ko130"},
    {"Ko-150xs", "Ko150"},
    {"Ko-160xs", "Ko160"},
    {"Ko-440xs", "Ko440"},
    {"ko-440xs", "Ko440"},
    {"ko-230Wxs", "Ko230W"},
    {"ko-330Wxs", "Ko330W"},
    {"ko-225Wxs", "Ko225W"},
    {"ko-325Wxs", "Ko325W"},
    {"ko-230WMBxs", "TARVO4MB_"},
    {"ko-227WMBxs", "TARVO4MB_"},
    {"ko-225WMBxs", "TARVO4MB_"},
    {"ko-220WMBxs", "TARVO4MB_"},
    {"ko-215WMBxs", "TARVO4MB_"},
    {"ko-330WMBxs", "TARVO4MB_FB_"},
    {"ko-327WMBxs", "TARVO4MB_FB_"},
    {"ko-325WMBxs", "TARVO4MB_FB_"},
    {"ko-320WMBxs", "TARVO4MB_FB_"},
    {"ko-315WMBxs", "TARVO4MB_FB_"},
    {"ko-230xs", "Ko230"},
    {"ko-330xs", "Ko330"},
    {"ko-225Exs", "Ko230"},
    {"ko-325Exs", "Ko330"},
    {"ko-225xs", "Ko225"},
    {"ko-325xs", "Ko325"},
    {"Ko-430Hxs", "Ko430H"},
    {"ko-430xs", "Ko430"},
    {"Ko-410Hxs", "Ko410H"},
    {"ko-410xs", "Ko410"},
    {"ko-420xs", "Ko420"},
    {"ko-220xs", "Ko220"},
    {"ko-320xs", "Ko320"},
    {"ko-210xs", "Ko210"},
    {"ko-550xs", "Ko550"},
    {"ko-650xs", "Ko650"},
    {"ko-540xs", "Ko540"},
    {"ko-640xs", "Ko640"},
    {"ko-120K2xs", "Ko120K2"},
    {"ko-110xs", "Ko110"},
    {"VX52", "VX52"},
    {"VX63", "VX63"},
    {"VX63G", "VX63G"},
    {"ko-530", "Ko530"},
    {"ko-527", "Ko530"},
    {"ko-525", "Ko530"},
    {"ko-520", "Ko530"},
    {"ko-515", "Ko530"},
    {"ko-630", "Ko630"},
    {"ko-627", "Ko630"},
    {"ko-625", "Ko630"},
    {"ko-620", "Ko630"},
    {"ko-615", "Ko630"},
    {"R800", "R800"},
    {"ko-720", "Ko720"},
    {"ko-710", "Ko720"},
    {"ko-90G", "Ko90G"},
    {"ko-510", "Ko510"},
    {"VX-708", "VX708"},
};

const RuleExpectation& FindRule(const std::string& name) {
    for (const RuleExpectation& rule : Rules()) {
        if (name == rule.cpRule) {
            return rule;
        }
    }
    throw std::runtime_error("no expectation for " + name);
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// One lookup of a rule: key (without DEVSET_), field index, default.
struct Lookup {
    std::string key;
    size_t uiField;
    int iDefault;
};

std::vector<Lookup> Lookups(const RuleExpectation& rule) {
    std::vector<Lookup> lookups;
    for (std::string word : Words(rule.keys)) {
        if (word[0] == '-') {
            size_t before = lookups.size();
            for (size_t i = 0; i < lookups.size(); ++i) {
                if (lookups[i].key == word.substr(1)) {
                    lookups.erase(lookups.begin() + static_cast<long>(i));
                }
            }
            EXPECT_EQ(lookups.size() + 1, before) << rule.cpRule << " " << word;
            continue;
        }
        size_t arrow = word.find('>');
        std::string field = arrow == std::string::npos ? "" : word.substr(arrow + 1);
        word = word.substr(0, arrow);
        int defaultValue = 1;
        if (word.size() > 3 && word.compare(word.size() - 3, 3, "(0)") == 0) {
            defaultValue = 0;
            word.resize(word.size() - 3);
        }
        size_t index = field.empty() ? KeyIndex(word) : FieldIndex(field);
        lookups.push_back({word, index, defaultValue});
    }
    return lookups;
}

enum class Profile { kMissing, kSwitched };

// Lookups give their default (no profile) or the other value (switched); then the constants.
Record Expected(const RuleExpectation& rule, Profile profile) {
    Record record(80, 0);
    if (rule.cpSection != nullptr) {
        for (const Lookup& lookup : Lookups(rule)) {
            record[lookup.uiField] =
                profile == Profile::kMissing ? lookup.iDefault : 1 - lookup.iDefault;
        }
    }
    for (const std::string& word : Words(rule.constants)) {
        size_t equals = word.find('=');
        int value = equals == std::string::npos ? 1 : std::stoi(word.substr(equals + 1));
        record[FieldIndex(word.substr(0, equals))] = value;
    }
    return record;
}

// The rule's section, then every key of the record (shorter keys before the keys they begin):
// the rule's own keys with the value other than their default, all others switched on.
std::string SwitchedProfile(const RuleExpectation& rule) {
    std::vector<Lookup> lookups = Lookups(rule);
    std::string text = std::string(rule.cpSection) + "\n";
    std::vector<std::string> written;
    for (const FieldRow& row : kFields) {
        if (row.cpKey == nullptr ||
            std::find(written.begin(), written.end(), row.cpKey) != written.end()) {
            continue;
        }
        written.push_back(row.cpKey);
        int value = 1;
        for (const Lookup& lookup : lookups) {
            if (lookup.key == row.cpKey) {
                value = 1 - lookup.iDefault;
            }
        }
        text += std::string("DEVSET_") + row.cpKey + std::to_string(value) + "\n";
    }
    return text;
}

std::vector<std::string> ExpectedCalls(Fetch fetch, const std::string& device) {
    std::string name = "\"" + device + "\"";
    switch (fetch) {
        case Fetch::kNone:
            return {};
        case Fetch::kFirmware:
        case Fetch::kFirmwareOwn:
            return {"korwc_GetFirmVersion(" + name + ", buffer, 16) = 1"};
        case Fetch::kInquiry112:
            return {"korwc_InquiryVPD(" + name + ", buffer, 112, 0) = 1"};
        case Fetch::kInquiry144:
            return {"korwc_InquiryVPD(" + name + ", buffer, 144, 0) = 1"};
        case Fetch::kInquiry117:
            return {"korwc_InquiryVPD(" + name + ", buffer, 117, 0) = 1"};
    }
    return {};
}

class DispatchTest : public FakeServiceTest {
protected:
    void SetUp() override {
        FakeServiceTest::SetUp();
        ResetRuleScanner();
        // A version that passes both gates; the four characters kept are "0D10".
        g_fake.firmware = "0D105";
        savedProfilePath_ = g_cpProfilePath;
        profilePath_ = dir_.path() + "/zevlaunch.conf";
        missingPath_ = dir_.path() + "/absent.conf";
    }
    void TearDown() override {
        ForgetProfiles();
        g_cpProfilePath = savedProfilePath_;
        FakeServiceTest::TearDown();
    }
    void SetActive(const std::string& designation) { SetActiveDesignation(designation); }
    // Runs the dispatch as the session does, from a record full of leftovers.
    Record Dispatch(const std::string& designation) {
        SetActive(designation);
        g_fake.calls.clear();
        std::memset(testContext.szTarvo3FirmVer, 0, sizeof testContext.szTarvo3FirmVer);
        std::memset(testContext.szVelisa2FirmVer, 0, sizeof testContext.szVelisa2FirmVer);
        std::memset(&testRecord, 0x5A, sizeof testRecord);
        ArbitrateActive();
        return ToRecord(testRecord);
    }

    const char* savedProfilePath_ = nullptr;
    TempDir dir_;
    std::string profilePath_;
    std::string missingPath_;
};

void CheckRow(const std::string& designation, const RuleExpectation& rule, Profile profile,
              const Record& actual) {
    Record expected = Expected(rule, profile);
    EXPECT_EQ(actual, expected) << designation
                                << (profile == Profile::kMissing ? " no profile:" : " switched:")
                                << Describe(actual, expected);
    std::string device = designation + ":SN0001";
    EXPECT_EQ(g_fake.calls, ExpectedCalls(rule.eFetch, device)) << designation;
    EXPECT_STREQ(testContext.szTarvo3FirmVer, rule.eFetch == Fetch::kFirmware ? "0D10" : "")
        << designation;
    EXPECT_STREQ(testContext.szVelisa2FirmVer, rule.eFetch == Fetch::kFirmwareOwn ? "0D105" : "")
        << designation;
}

TEST_F(DispatchTest, EveryRowWithoutProfile) {
    g_cpProfilePath = missingPath_.c_str();
    for (const auto& [designation, ruleName] : kDispatch) {
        Record actual = Dispatch(designation);
        CheckRow(designation, FindRule(ruleName), Profile::kMissing, actual);
    }
}

TEST_F(DispatchTest, EveryRowWithEveryKeySwitched) {
    // The profile holds only the rule's own section, so a wrong section reads nothing.
    g_cpProfilePath = profilePath_.c_str();
    for (const auto& [designation, ruleName] : kDispatch) {
        const RuleExpectation& rule = FindRule(ruleName);
        WriteWholeFile(profilePath_, rule.cpSection == nullptr ? "" : SwitchedProfile(rule));
        ForgetProfiles();  // the same path holds another rule's profile now
        Record actual = Dispatch(designation);
        CheckRow(designation, rule, Profile::kSwitched, actual);
    }
}

TEST_F(DispatchTest, EveryRuleIsSelectedByOneRowAtLeast) {
    for (const RuleExpectation& rule : Rules()) {
        bool selected = false;
        for (const auto& row : kDispatch) {
            selected = selected || std::string(row.second) == rule.cpRule;
        }
        EXPECT_TRUE(selected) << rule.cpRule;
    }
}

TEST_F(DispatchTest, Ko140ArbitrateIsKo130Arbitrate) {
    g_cpProfilePath = profilePath_.c_str();
    const RuleExpectation& rule = FindRule("Ko130");
    WriteWholeFile(profilePath_, SwitchedProfile(rule));
    for (Profile profile : {Profile::kMissing, Profile::kSwitched}) {
        g_cpProfilePath =
            profile == Profile::kMissing ? missingPath_.c_str() : profilePath_.c_str();
        CDevSet2Builder record = {};
        Ko140Arbitrate(&record, ActiveRuleContext());
        EXPECT_EQ(ToRecord(record), Expected(rule, profile));
    }
}

TEST_F(DispatchTest, UnknownDesignationsFetchNothingAndLeaveTheRecordZero) {
    g_cpProfilePath = missingPath_.c_str();
    const char* const unknown[] = {"KO-230XS",   "Ko-230xs", "ko-230xs ", " ko-230xs", "ko-230",
                                   "ko-230xs\n", "ko-217xs", "VX-901R",   "vx52",      "ko-140",
                                   "R800 ",      "ko-5300",  ""};
    for (const char* designation : unknown) {
        EXPECT_EQ(Dispatch(designation), Record(80, 0)) << "[" << designation << "]";
        EXPECT_TRUE(g_fake.calls.empty()) << "[" << designation << "]";
        EXPECT_STREQ(testContext.szTarvo3FirmVer, "") << "[" << designation << "]";
    }
}

TEST_F(DispatchTest, FactoryLeavesTheRecordAloneForUnknownNames) {
    CDevSet2Builder record;
    std::memset(&record, 0x5A, sizeof record);
    FunctionArbitratorFactory("KO-230XS", ActiveRuleContext(), &record);
    Record untouched(80, 0x5A5A5A5A);
    EXPECT_EQ(ToRecord(record), untouched);
    EXPECT_TRUE(g_fake.calls.empty());
}

TEST_F(DispatchTest, NoDesignationGivesAZeroRecord) {
    testContext.cpDesignation = nullptr;
    std::memset(&testRecord, 0x5A, sizeof testRecord);
    ArbitrateActive();
    EXPECT_EQ(ToRecord(testRecord), Record(80, 0));
    EXPECT_TRUE(g_fake.calls.empty());
}

TEST_F(DispatchTest, NothingSurvivesFromAnEarlierDispatch) {
    g_cpProfilePath = missingPath_.c_str();
    Record first = Dispatch("Ko-150xs");
    EXPECT_EQ(first, Dispatch("Ko-150xs"));
    Record only47(80, 0);
    only47[FieldIndex("bFlag47")] = 1;
    EXPECT_EQ(Dispatch("ko-110xs"), only47);
}

}  // namespace
