// Tests of the JSON document: the program object, every key of a scanner with data (read now or
// stored, with and without a policy), null for what a scanner lacks, no data keys for one without
// data; the whole document against its schema.
#include "status/json_format.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/status_support.h"

namespace {

// The document of MixedRun, keys in order.
const char kExpected[] = R"({
  "json_format_version": [1, 1],
  "program": {"name": "orvexconsumables-status", "version": "1.0.0", "exit_status": 2,
              "enumeration": "ok", "scanners_enumerated": 5, "duration_seconds": 1.5,
              "messages": [{"severity": "warning", "text": "two attached scanners are named 'x'"}]},
  "scanners": [
    {"device": "ko-330xs:KV33A0001", "status": "ok", "duration_seconds": 0.25, "messages": [],
     "read_at": "2026-12-08T09:00:00Z", "cached": false,
     "identification": {"product_id": "ko-330xs", "revision": "1.00",
                        "serial_number": "KV33A0001"},
     "totals": {"adf_sheets": 12345, "flatbed_sheets": 678},
     "consumables": [
       {"id": "after_cleaning", "label": "After cleaning:", "sheets": 120, "first_mark": false,
        "second_mark": null, "clear_option": "--after-cleaning-clear", "life_sheets": 5000,
        "remaining_ratio": 0.976,
        "replaced": {"at": "2026-12-07T09:00:00Z", "sheets_before": 4800}},
       {"id": "brake_roller", "label": "Brake Roller:", "sheets": 5000, "first_mark": false,
        "second_mark": true, "clear_option": "--brake-roller-clear", "life_sheets": 5500,
        "remaining_ratio": 0.09090909090909091, "replaced": null},
       {"id": "pick_roller", "label": "Pick Roller:", "sheets": 6000, "first_mark": true,
        "second_mark": false, "clear_option": "--pick-roller-clear", "life_sheets": 200000,
        "remaining_ratio": 0.97, "replaced": null}],
     "sleep_timer_minutes": 15,
     "power_off": {"active": true, "hours": 2},
     "offsets_mm": {"adf_front": {"main": 0.5, "sub": -1.0, "end_of_page": 0.0},
                    "adf_back": {"main": 0.0, "sub": 1.5, "end_of_page": -0.5},
                    "flatbed": {"main": 1.0, "sub": 0.0, "end_of_page": null}},
     "magnification_percent": {"adf": 1.5, "flatbed": -3.1},
     "policy": {"sleep_timer_minutes": {"wanted": 15, "actual": 15, "compliant": true},
                "power_off": {"wanted": "1-hour", "actual": "2-hours", "compliant": false}}},
    {"device": "odd \"name\\\n\ufffd", "status": "ok", "duration_seconds": 0.125, "messages": [],
     "read_at": "2026-12-08T09:00:00Z", "cached": false,
     "identification": {"product_id": "ko-225Wxs", "revision": "2.01",
                        "serial_number": "KV22W0002"},
     "totals": {"adf_sheets": 4321, "flatbed_sheets": null},
     "consumables": [{"id": "roller", "label": "Felt:", "sheets": 30000, "first_mark": false,
                      "second_mark": false, "clear_option": null, "life_sheets": null,
                      "remaining_ratio": null, "replaced": null}],
     "sleep_timer_minutes": null, "power_off": null, "offsets_mm": null,
     "magnification_percent": null},
    {"device": "ko-330xs:HELD", "status": "busy", "duration_seconds": 0.0625,
     "messages": [{"severity": "warning", "text": "in use"}],
     "read_at": "2026-12-08T08:00:00Z", "cached": true,
     "identification": {"product_id": "ko-225Wxs", "revision": "2.01",
                        "serial_number": "KV22W0002"},
     "totals": {"adf_sheets": 4321, "flatbed_sheets": null},
     "consumables": [{"id": "roller", "label": "Felt:", "sheets": 30000, "first_mark": false,
                      "second_mark": false, "clear_option": null, "life_sheets": 40000,
                      "remaining_ratio": 0.25, "replaced": null}],
     "sleep_timer_minutes": null, "power_off": null, "offsets_mm": null,
     "magnification_percent": null},
    {"device": "ko-330xs:BUSY", "status": "busy", "duration_seconds": 0.0625,
     "messages": [{"severity": "warning", "text": "in use"}]},
    {"device": "gone", "status": "absent", "duration_seconds": 0.0,
     "messages": [{"severity": "error", "text": "not attached"}]}]
})";

TEST(RenderJson, WritesTheWholeDocumentIndentedWithALineEnd) {
    std::string rendered = RenderJson(MixedRun(), {"orvexconsumables-status", "1.0.0", 2});
    nlohmann::ordered_json expected = nlohmann::ordered_json::parse(kExpected);
    EXPECT_EQ(rendered, expected.dump(2) + "\n");
    EXPECT_EQ(SchemaViolation(rendered, ORVEX_TEST_SCHEMA), "");
    // With no scanner the list is empty, as the library writes it.
    run_outcome none{EnumerationStatus::kLibrariesMissing, 0, 0.5, {}, {}};
    expected = nlohmann::ordered_json::parse(RenderJson(none, {"n", "v", 2}));
    EXPECT_EQ(expected["scanners"], nlohmann::ordered_json::array());
    EXPECT_EQ(RenderJson(none, {"n", "v", 2}), expected.dump(2) + "\n");
}

TEST(RenderJson, AFeatureAScannerLacksIsNullInsideItsObject) {
    report_view report = FullReport();
    report.oOffsets->stAdfFront.oEndOfPage.reset();
    report.oOffsets->stAdfBack.oEndOfPage.reset();
    report.oOffsets->oFlatbed.reset();
    report.oMagnification->oFlatbed.reset();
    report.oPowerOff->oHours.reset();
    run_outcome run{
        EnumerationStatus::kOk, 1, 0, {}, {{"s", ScannerStatus::kOk, 0, {}, report, "s"}}};
    run.vScanners[0].oPolicy =
        settings_check{{{PolicySetting::kPowerOff, 1, 1, std::nullopt, false}}, {}};
    nlohmann::ordered_json scanner =
        nlohmann::ordered_json::parse(RenderJson(run, {"n", "v", 0}))["scanners"][0];
    EXPECT_EQ(scanner["policy"].dump(),
              R"({"power_off":{"wanted":"2-hours","actual":null,"compliant":false}})");
    EXPECT_EQ(scanner["power_off"].dump(), R"({"active":true,"hours":null})");
    EXPECT_EQ(scanner["offsets_mm"].dump(),
              R"({"adf_front":{"main":0.5,"sub":-1.0,"end_of_page":null},)"
              R"("adf_back":{"main":0.0,"sub":1.5,"end_of_page":null},"flatbed":null})");
    EXPECT_EQ(scanner["magnification_percent"].dump(), R"({"adf":1.5,"flatbed":null})");
}

}  // namespace
