// Tests of the Prometheus text: every family, units, escaping, stored data exported as fresh data,
// the failed enumeration.
#include "status/prometheus_format.h"

#include <gtest/gtest.h>

#include "tests/support/status_support.h"

namespace {

const program_info kProgram{"orvexconsumables-status", "1.0.0", 2};

TEST(RenderPrometheus, WritesEveryFamilyInBaseUnitsWithEscapedLabels) {
    const std::string expected =
        R"(# HELP orvex_status_up 1 when the service libraries were loaded and the scanners enumerated
# TYPE orvex_status_up gauge
orvex_status_up 1
# HELP orvex_status_scanners_enumerated Scanners that the enumeration listed, each listing counted
# TYPE orvex_status_scanners_enumerated gauge
orvex_status_scanners_enumerated 5
# HELP orvex_status_duration_seconds Duration of the whole run
# TYPE orvex_status_duration_seconds gauge
orvex_status_duration_seconds 1.5
# HELP orvex_status_build_info Version of orvexconsumables-status
# TYPE orvex_status_build_info gauge
orvex_status_build_info{version="1.0.0"} 1
# HELP orvex_scanner_up 1 when the scanner was read
# TYPE orvex_scanner_up gauge
orvex_scanner_up{device="ko-330xs:KV33A0001"} 1
orvex_scanner_up{device="odd \"name\\\n�"} 1
orvex_scanner_up{device="ko-330xs:HELD"} 0
orvex_scanner_up{device="ko-330xs:BUSY"} 0
orvex_scanner_up{device="gone"} 0
# HELP orvex_scanner_status 1 for the status of the scanner's reading, 0 for the others
# TYPE orvex_scanner_status gauge
orvex_scanner_status{device="ko-330xs:KV33A0001",status="ok"} 1
orvex_scanner_status{device="ko-330xs:KV33A0001",status="busy"} 0
orvex_scanner_status{device="ko-330xs:KV33A0001",status="timeout"} 0
orvex_scanner_status{device="ko-330xs:KV33A0001",status="error"} 0
orvex_scanner_status{device="ko-330xs:KV33A0001",status="absent"} 0
orvex_scanner_status{device="odd \"name\\\n�",status="ok"} 1
orvex_scanner_status{device="odd \"name\\\n�",status="busy"} 0
orvex_scanner_status{device="odd \"name\\\n�",status="timeout"} 0
orvex_scanner_status{device="odd \"name\\\n�",status="error"} 0
orvex_scanner_status{device="odd \"name\\\n�",status="absent"} 0
orvex_scanner_status{device="ko-330xs:HELD",status="ok"} 0
orvex_scanner_status{device="ko-330xs:HELD",status="busy"} 1
orvex_scanner_status{device="ko-330xs:HELD",status="timeout"} 0
orvex_scanner_status{device="ko-330xs:HELD",status="error"} 0
orvex_scanner_status{device="ko-330xs:HELD",status="absent"} 0
orvex_scanner_status{device="ko-330xs:BUSY",status="ok"} 0
orvex_scanner_status{device="ko-330xs:BUSY",status="busy"} 1
orvex_scanner_status{device="ko-330xs:BUSY",status="timeout"} 0
orvex_scanner_status{device="ko-330xs:BUSY",status="error"} 0
orvex_scanner_status{device="ko-330xs:BUSY",status="absent"} 0
orvex_scanner_status{device="gone",status="ok"} 0
orvex_scanner_status{device="gone",status="busy"} 0
orvex_scanner_status{device="gone",status="timeout"} 0
orvex_scanner_status{device="gone",status="error"} 0
orvex_scanner_status{device="gone",status="absent"} 1
# HELP orvex_scanner_read_duration_seconds Duration of the scanner's reading
# TYPE orvex_scanner_read_duration_seconds gauge
orvex_scanner_read_duration_seconds{device="ko-330xs:KV33A0001"} 0.25
orvex_scanner_read_duration_seconds{device="odd \"name\\\n�"} 0.125
orvex_scanner_read_duration_seconds{device="ko-330xs:HELD"} 0.0625
orvex_scanner_read_duration_seconds{device="ko-330xs:BUSY"} 0.0625
orvex_scanner_read_duration_seconds{device="gone"} 0
# HELP orvex_scanner_last_read_timestamp_seconds Unix time of the reading that the scanner's data comes from
# TYPE orvex_scanner_last_read_timestamp_seconds gauge
orvex_scanner_last_read_timestamp_seconds{device="ko-330xs:KV33A0001"} 1796720400
orvex_scanner_last_read_timestamp_seconds{device="odd \"name\\\n�"} 1796720400
orvex_scanner_last_read_timestamp_seconds{device="ko-330xs:HELD"} 1796716800
# HELP orvex_scanner_info Identification of the scanner
# TYPE orvex_scanner_info gauge
orvex_scanner_info{device="ko-330xs:KV33A0001",product="ko-330xs",revision="1.00",serial="KV33A0001"} 1
orvex_scanner_info{device="odd \"name\\\n�",product="ko-225Wxs",revision="2.01",serial="KV22W0002"} 1
orvex_scanner_info{device="ko-330xs:HELD",product="ko-225Wxs",revision="2.01",serial="KV22W0002"} 1
# HELP orvex_scanner_sheets_total Sheets fed through the ADF or scanned on the flatbed
# TYPE orvex_scanner_sheets_total counter
orvex_scanner_sheets_total{device="ko-330xs:KV33A0001",feeder="adf"} 12345
orvex_scanner_sheets_total{device="ko-330xs:KV33A0001",feeder="flatbed"} 678
orvex_scanner_sheets_total{device="odd \"name\\\n�",feeder="adf"} 4321
orvex_scanner_sheets_total{device="ko-330xs:HELD",feeder="adf"} 4321
# HELP orvex_scanner_consumable_sheets_total Sheets counted since the consumable was last replaced or cleaned
# TYPE orvex_scanner_consumable_sheets_total counter
orvex_scanner_consumable_sheets_total{device="ko-330xs:KV33A0001",consumable="after_cleaning"} 120
orvex_scanner_consumable_sheets_total{device="ko-330xs:KV33A0001",consumable="brake_roller"} 5000
orvex_scanner_consumable_sheets_total{device="ko-330xs:KV33A0001",consumable="pick_roller"} 6000
orvex_scanner_consumable_sheets_total{device="odd \"name\\\n�",consumable="roller"} 30000
orvex_scanner_consumable_sheets_total{device="ko-330xs:HELD",consumable="roller"} 30000
# HELP orvex_scanner_consumable_life_sheets Sheets that the site's policy gives the consumable
# TYPE orvex_scanner_consumable_life_sheets gauge
orvex_scanner_consumable_life_sheets{device="ko-330xs:KV33A0001",consumable="after_cleaning"} 5000
orvex_scanner_consumable_life_sheets{device="ko-330xs:KV33A0001",consumable="brake_roller"} 5500
orvex_scanner_consumable_life_sheets{device="ko-330xs:KV33A0001",consumable="pick_roller"} 200000
orvex_scanner_consumable_life_sheets{device="ko-330xs:HELD",consumable="roller"} 40000
# HELP orvex_scanner_consumable_replaced_timestamp_seconds Unix time of the reading that found the consumable's counter lower than before
# TYPE orvex_scanner_consumable_replaced_timestamp_seconds gauge
orvex_scanner_consumable_replaced_timestamp_seconds{device="ko-330xs:KV33A0001",consumable="after_cleaning"} 1796634000
# HELP orvex_scanner_consumable_mark 1 when the scanner marks the consumable's counter
# TYPE orvex_scanner_consumable_mark gauge
orvex_scanner_consumable_mark{device="ko-330xs:KV33A0001",consumable="after_cleaning",mark="first"} 0
orvex_scanner_consumable_mark{device="ko-330xs:KV33A0001",consumable="brake_roller",mark="first"} 0
orvex_scanner_consumable_mark{device="ko-330xs:KV33A0001",consumable="brake_roller",mark="second"} 1
orvex_scanner_consumable_mark{device="ko-330xs:KV33A0001",consumable="pick_roller",mark="first"} 1
orvex_scanner_consumable_mark{device="ko-330xs:KV33A0001",consumable="pick_roller",mark="second"} 0
orvex_scanner_consumable_mark{device="odd \"name\\\n�",consumable="roller",mark="first"} 0
orvex_scanner_consumable_mark{device="odd \"name\\\n�",consumable="roller",mark="second"} 0
orvex_scanner_consumable_mark{device="ko-330xs:HELD",consumable="roller",mark="first"} 0
orvex_scanner_consumable_mark{device="ko-330xs:HELD",consumable="roller",mark="second"} 0
# HELP orvex_scanner_sleep_timer_seconds Idle time before the scanner sleeps
# TYPE orvex_scanner_sleep_timer_seconds gauge
orvex_scanner_sleep_timer_seconds{device="ko-330xs:KV33A0001"} 900
# HELP orvex_scanner_power_off_enabled 1 when automatic power-off is on
# TYPE orvex_scanner_power_off_enabled gauge
orvex_scanner_power_off_enabled{device="ko-330xs:KV33A0001"} 1
# HELP orvex_scanner_power_off_delay_seconds Idle time before automatic power-off
# TYPE orvex_scanner_power_off_delay_seconds gauge
orvex_scanner_power_off_delay_seconds{device="ko-330xs:KV33A0001"} 7200
# HELP orvex_scanner_setting_compliant 1 when the setting is as the site's policy wants it, else 0
# TYPE orvex_scanner_setting_compliant gauge
orvex_scanner_setting_compliant{device="ko-330xs:KV33A0001",setting="sleep_timer"} 1
orvex_scanner_setting_compliant{device="ko-330xs:KV33A0001",setting="power_off"} 0
# HELP orvex_scanner_offset_meters Image offset
# TYPE orvex_scanner_offset_meters gauge
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_front",axis="main"} 0.0005
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_front",axis="sub"} -0.001
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_front",axis="end_of_page"} 0
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_back",axis="main"} 0
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_back",axis="sub"} 0.0015
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="adf_back",axis="end_of_page"} -0.0005
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="flatbed",axis="main"} 0.001
orvex_scanner_offset_meters{device="ko-330xs:KV33A0001",position="flatbed",axis="sub"} 0
# HELP orvex_scanner_magnification_ratio Vertical magnification adjustment
# TYPE orvex_scanner_magnification_ratio gauge
orvex_scanner_magnification_ratio{device="ko-330xs:KV33A0001",feeder="adf"} 0.015
orvex_scanner_magnification_ratio{device="ko-330xs:KV33A0001",feeder="flatbed"} -0.031
)";
    EXPECT_EQ(RenderPrometheus(MixedRun(), kProgram), expected);
}

TEST(RenderPrometheus, AFailedEnumerationLeavesTheProgramSeriesOnly) {
    run_outcome run{EnumerationStatus::kLibrariesMissing, 0, 0.012346, {}, {}};
    std::vector<std::string> samples;
    for (const std::string& line : SplitIntoLines(RenderPrometheus(run, kProgram))) {
        if (line[0] != '#') {
            samples.push_back(line);
        }
    }
    EXPECT_EQ(samples, (std::vector<std::string>{
                           "orvex_status_up 0",
                           "orvex_status_scanners_enumerated 0",
                           "orvex_status_duration_seconds 0.012346",
                           "orvex_status_build_info{version=\"1.0.0\"} 1",
                       }));
}

}  // namespace
