// Tests of what the children hand back: device lists, scanner readings, and the parent's check.
#include "fleet/wire.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

// An empty list of loaded libraries is the fleet reading's "nothing attached".
TEST(DeviceListWire, CarriesNamesByteForByteAndRefusesAnythingElse) {
    for (const device_list_reading& sent :
         {device_list_reading{true, {"ko-330xs:A", "", "bad\xff\nname \"\\"}}, {false, {}}}) {
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

// A view with every field set: each optional present, each enum past its first value, each
// number and text off its default, so that a field that the wire leaves out fails the test.
report_view EveryFieldSet() {
    report_view view{};
    view.strProductId = "VX-905R";
    view.strRevision = "2.10";
    view.oInitialUse = "2021/03/04";
    view.strSerialNumber = "VX905R0003";
    view.iAdfSheets = 99000;
    view.oFlatbedSheets = 1234;
    view.vConsumables = {{ConsumableKind::kPad, "Pad:", 1200, CounterMarks::kBoth, true}};
    view.oSleepTimer = sleep_timer_view{15, 5, 60};
    view.oPowerOff = power_off_view{true, 8};
    view.oOffsets =
        offsets_view{{0.5, -1.0, 1.5}, {-2.0, 2.5, -0.5}, side_offsets_view{1.0, -1.5, 2.0}};
    view.oMagnification = magnification_view{15, -31};
    return view;
}

TEST(ScannerReadingWire, CarriesTheWholeViewAndRepairsTexts) {
    report_view hostile = EveryFieldSet();
    hostile.strSerialNumber = "S\"\\\n\xff\xfe";
    report_view repaired = hostile;
    repaired.strSerialNumber = "S\"\\\n\uFFFD\uFFFD";
    struct WireCase {
        scanner_reading sent;
        scanner_reading expected;
    };
    const std::vector<WireCase> cases = {
        {{ScannerStatus::kOk, "", EveryFieldSet()}, {ScannerStatus::kOk, "", EveryFieldSet()}},
        {{ScannerStatus::kOk, "", report_view{}}, {ScannerStatus::kOk, "", report_view{}}},
        {{ScannerStatus::kOk, "", hostile}, {ScannerStatus::kOk, "", repaired}},
        {{ScannerStatus::kOk, "left out \xff", EveryFieldSet()},
         {ScannerStatus::kOk, "left out \uFFFD", EveryFieldSet()}},
        {{ScannerStatus::kError, "bad \xff", {}}, {ScannerStatus::kError, "bad \uFFFD", {}}},
    };
    for (const WireCase& c : cases) {
        scanner_reading received{};
        ASSERT_TRUE(DecodeScannerReading(EncodeScannerReading(c.sent), &received));
        EXPECT_EQ(received.eStatus, c.expected.eStatus);
        EXPECT_EQ(received.strMessage, c.expected.strMessage);
        EXPECT_EQ(received.stReport, c.expected.stReport) << EncodeScannerReading(received);
    }
}

TEST(ScannerReadingWire, RefusesGarbage) {
    const nlohmann::json valid =
        nlohmann::json::parse(EncodeScannerReading({ScannerStatus::kOk, "", EveryFieldSet()}));
    // Each change of the valid payload, made at a path of it.
    const std::vector<std::pair<nlohmann::json::json_pointer, nlohmann::json>> changes = {
        {"/report/vConsumables/0/eKind"_json_pointer, "felt"},
        {"/report/vConsumables/0/eMarks"_json_pointer, "third"},
        {"/report/vConsumables/0/iSheets"_json_pointer, 1.5},
        {"/report/vConsumables/0/iSheets"_json_pointer, true},
        {"/report/iAdfSheets"_json_pointer, "many"},
        {"/report/iAdfSheets"_json_pointer, 4294967296},
        {"/report/extra"_json_pointer, 1},
        {"/message"_json_pointer, 7},
    };
    std::vector<std::string> garbage = {"", "{\"status\": \"ok\"",
                                        R"({"status": "timeout", "message": ""})",
                                        R"({"status": "busy"})", R"({"status": "ok"})"};
    for (const auto& [pointer, value] : changes) {
        nlohmann::json changed = valid;
        changed[pointer] = value;
        garbage.push_back(changed.dump());
    }
    for (const char* key : {"strRevision", "oFlatbedSheets"}) {  // a plain and an optional one
        nlohmann::json missing = valid;
        missing["report"].erase(key);
        garbage.push_back(missing.dump());
    }
    for (const std::string& payload : garbage) {
        scanner_reading received{};
        EXPECT_FALSE(DecodeScannerReading(payload, &received)) << payload;
    }
}

}  // namespace
