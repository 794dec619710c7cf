// Tests of the table for people: the whole text of a run of every kind, plain and in colour, and
// of a run without scanners.
#include "status/table_format.h"

#include <gtest/gtest.h>

#include "tests/support/status_support.h"

namespace {

TEST(RenderTable, ABlockPerScannerALinePerConsumableThenTheRunsMessagesOrWhyThereIsNone) {
    const std::string expected =
        "ko-330xs:KV33A0001: ok\n"
        "  after_cleaning        120 of       5000  [###################.]  97%\n"
        "  brake_roller         5000 of       5500  [#...................]   9%  (**)\n"
        "  pick_roller          6000 of     200000  [###################.]  97%  (*)\n"
        "  sleep timer  15 min, as the policy wants\n"
        "  power off    2-hours; the policy wants 1-hour\n"
        "\n"
        "odd \"name\\ \xef\xbf\xbd: ok\n"
        "  roller              30000\n"
        "\n"
        "ko-330xs:HELD: busy, last read 2026-12-08T08:00:00Z\n"
        "  roller              30000 of      40000  [#####...............]  25%\n"
        "  in use\n"
        "\n"
        "ko-330xs:BUSY: busy\n"
        "  in use\n"
        "\n"
        "gone: absent\n"
        "  not attached\n"
        "\n"
        "warning: two attached scanners are named 'x'\n";
    const program_info program{"orvexconsumables-status", "1.0.0", 2};
    const fleet_message missing{Severity::kError, "the service libraries could not be loaded"};
    const std::pair<run_outcome, std::string> cases[] = {
        {MixedRun(), expected},
        {{EnumerationStatus::kLibrariesMissing, 0, 0, {missing}, {}},
         "error: the service libraries could not be loaded\n"},
        {{EnumerationStatus::kOk, 0, 0, {}, {}}, "no scanner is attached\n"},
    };
    for (const auto& [run, text] : cases) {
        EXPECT_EQ(RenderTable(run, program), text);
    }
}

TEST(RenderTable, ColoursTheLifeLeftByThresholdTheMarksTheDriftAndTheStatus) {
    scanner_outcome scanner = MixedRun().vScanners[0];
    scanner.aLife[static_cast<size_t>(ConsumableKind::kPickRoller)] = 6000;  // none left
    scanner.oPolicy->vChecks.pop_back();
    program_info program{"orvexconsumables-status", "1.0.0", 0};
    program.bColour = true;
    const std::string expected =
        "ko-330xs:KV33A0001: \x1b[32mok\x1b[0m\n"
        "  after_cleaning        120 of       5000  [\x1b[32m###################.\x1b[0m] "
        "\x1b[32m 97%\x1b[0m\n"
        "  brake_roller         5000 of       5500  [\x1b[33m#...................\x1b[0m] "
        "\x1b[33m  9%\x1b[0m  \x1b[31m(**)\x1b[0m\n"
        "  pick_roller          6000 of       6000  [\x1b[31m....................\x1b[0m] "
        "\x1b[31m  0%\x1b[0m  \x1b[33m(*)\x1b[0m\n"
        "  sleep timer  15 min, as the policy wants\n";
    EXPECT_EQ(RenderTable(run_outcome{EnumerationStatus::kOk, 1, 0, {}, {scanner}}, program),
              expected);
    scanner.oPolicy->vChecks[0] = {PolicySetting::kSleepTimer, 20, 20, 15, false};
    scanner.stReport.vConsumables.clear();
    scanner.eStatus = ScannerStatus::kTimeout;
    scanner.bCached = true;
    EXPECT_EQ(RenderTable(run_outcome{EnumerationStatus::kOk, 1, 0, {}, {scanner}}, program),
              "ko-330xs:KV33A0001: \x1b[31mtimeout\x1b[0m, last read 2026-12-08T09:00:00Z\n"
              "  sleep timer  15 min; \x1b[33mthe policy wants 20 min\x1b[0m\n");
}

}  // namespace
