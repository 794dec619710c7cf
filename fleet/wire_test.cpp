// Tests of what the children hand back: device lists, scanner readings, and the parent's check.
#include "fleet/wire.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/status_support.h"

namespace {

TEST(DeviceListWire, CarriesNamesByteForByteAndRefusesAnythingElse) {
    const std::vector<device_list_reading> readings = {
        {true, {}},
        {true, {"ko-330xs:A", "", "bad\xff\nname \"\\"}},
        {false, {}},
    };
    for (const device_list_reading& sent : readings) {
        device_list_reading received{!sent.bLibrariesLoaded, {"stale"}};
        ASSERT_TRUE(DecodeDeviceList(EncodeDeviceList(sent), &received));
        EXPECT_EQ(received.bLibrariesLoaded, sent.bLibrariesLoaded);
        EXPECT_EQ(received.vNames, sent.vNames);
    }
    const std::string loaded = EncodeDeviceList({true, {}});
    for (const std::string& garbage :
         {std::string(""), std::string("libraries"), loaded + "cut short",
          EncodeDeviceList({false, {}}) + "more"}) {
        device_list_reading received{};
        EXPECT_FALSE(DecodeDeviceList(garbage, &received)) << garbage;
    }
}

TEST(ScannerReadingWire, CarriesTheReportModelAndRepairsTexts) {
    report_model hostile = BareReport();
    hostile.strSerialNumber = "S\"\\\n\xff\xfe";
    report_model repaired = hostile;
    repaired.strSerialNumber = "S\"\\\n\uFFFD\uFFFD";
    struct WireCase {
        scanner_reading sent;
        scanner_reading expected;
    };
    const std::vector<WireCase> cases = {
        {{ScannerStatus::kOk, "", FullReport()}, {ScannerStatus::kOk, "", FullReport()}},
        {{ScannerStatus::kOk, "", hostile}, {ScannerStatus::kOk, "", repaired}},
        {{ScannerStatus::kBusy, "in use", {}}, {ScannerStatus::kBusy, "in use", {}}},
        {{ScannerStatus::kError, "bad \xff", {}}, {ScannerStatus::kError, "bad \uFFFD", {}}},
    };
    for (const WireCase& c : cases) {
        scanner_reading received{};
        ASSERT_TRUE(DecodeScannerReading(EncodeScannerReading(c.sent), &received));
        EXPECT_EQ(received.eStatus, c.expected.eStatus);
        EXPECT_EQ(received.strMessage, c.expected.strMessage);
        EXPECT_EQ(received.stReport.strSerialNumber, c.expected.stReport.strSerialNumber);
        // Every key must be there to decode; equal encodings mean equal values.
        EXPECT_EQ(EncodeScannerReading(received), EncodeScannerReading(c.expected));
    }
}

TEST(ScannerReadingWire, RefusesGarbage) {
    nlohmann::json valid =
        nlohmann::json::parse(EncodeScannerReading({ScannerStatus::kOk, "", FullReport()}));
    nlohmann::json unknownKind = valid;
    unknownKind["report"]["vCounters"][0]["eKind"] = 9;
    nlohmann::json wrongType = valid;
    wrongType["report"]["iAdfTotal"] = "many";
    nlohmann::json missingKey = valid;
    missingKey["report"].erase("bHasFlatbed");
    const std::vector<std::string> garbage = {
        "",
        "{\"status\": \"ok\"",
        R"({"status": "timeout", "message": ""})",
        R"({"status": "busy"})",
        R"({"status": "ok"})",
        unknownKind.dump(),
        wrongType.dump(),
        missingKey.dump(),
    };
    for (const std::string& payload : garbage) {
        scanner_reading received{};
        EXPECT_FALSE(DecodeScannerReading(payload, &received)) << payload;
    }
}

}  // namespace
