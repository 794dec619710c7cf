// Tests of the two output formats on one run that holds a scanner of every status: the whole
// text, the whole JSON document, and the document against its schema.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "apply/formats.h"
#include "consumables/power_off.h"
#include "tests/support/files.h"

namespace {

const PolicySetting kSleep = PolicySetting::kSleepTimer;
const PolicySetting kPower = PolicySetting::kPowerOff;

// A run with a scanner of every status and a message of its own.
const apply_run kEveryStatus{
    false,
    EnumerationStatus::kOk,
    {{Severity::kWarning, "two named 'x'"}},
    {
        {"ko-330xs:A", ApplyStatus::kCompliant, {{Severity::kInfo, "power off not offered"}}, {}},
        {"ko-330xs:B", ApplyStatus::kChanged, {}, {{kSleep, 30, 15, true}, {kPower, 2, 1, true}}},
        {"ko-330xs:C",
         ApplyStatus::kRefused,
         {{Severity::kError, "the scanner refused the power off"}},
         {{kSleep, 5, 15, true}, {kPower, std::nullopt, kPowerOffInactiveCode, false}}},
        {"line\nend", ApplyStatus::kBusy, {{Severity::kWarning, "in use"}}, {}},
        {"ko-330xs:E", ApplyStatus::kTimeout, {{Severity::kError, "no answer within 10 s"}}, {}},
        {"ko-330xs:F", ApplyStatus::kError, {{Severity::kError, "unreadable"}}, {}},
        {"gone", ApplyStatus::kAbsent, {{Severity::kError, "not attached"}}, {}},
    }};

const program_info kProgram{"orvexconsumables-apply", "1.2.3", 4};

TEST(ApplyFormats, TextHasALinePerScannerTheRunsMessagesAndASummary) {
    EXPECT_EQ(RenderApplyText(kEveryStatus, kProgram),
              "ko-330xs:A: compliant - power off not offered\n"
              "ko-330xs:B: changed - sleep timer 30 -> 15 minutes, power off 4-hours -> 2-hours\n"
              "ko-330xs:C: refused - sleep timer 5 -> 15 minutes, power off unknown -> inactive "
              "(not applied); the scanner refused the power off\n"
              "line end: busy - in use\n"
              "ko-330xs:E: timeout - no answer within 10 s\n"
              "ko-330xs:F: error - unreadable\n"
              "gone: absent - not attached\n"
              "warning: two named 'x'\n"
              "7 scanners: 1 compliant, 1 changed, 1 busy, 1 timeout, 1 error, 1 refused, 1 "
              "absent\n");
    apply_run failed{true,
                     EnumerationStatus::kLibrariesMissing,
                     {{Severity::kError, "the service libraries could not be loaded"}},
                     {}};
    EXPECT_EQ(RenderApplyText(failed, kProgram),
              "error: the service libraries could not be loaded\n"
              "0 scanners (enumeration libraries-missing)\n");
}

// Each document valid against the schema; compared whole, without the indentation.
TEST(ApplyFormats, JsonFollowsItsSchema) {
    apply_run check{true, EnumerationStatus::kOk, {}, {}};
    check.vScanners = {{"ko-330xs:B",
                        ApplyStatus::kWouldChange,
                        {},
                        {{kPower, kPowerOffInactiveCode, 0, std::nullopt}}}};
    const std::pair<std::string, std::string> rows[] = {
        {RenderApplyJson(kEveryStatus, kProgram),
         R"({"json_format_version":[1,0],"program":{"name":"orvexconsumables-apply",)"
         R"("version":"1.2.3","exit_status":4,"check":false,"changed":true,"enumeration":"ok",)"
         R"("messages":[{"severity":"warning","text":"two named 'x'"}]},"scanners":[)"
         R"({"device":"ko-330xs:A","status":"compliant","messages":[{"severity":"info",)"
         R"("text":"power off not offered"}],"changes":[]},{"device":"ko-330xs:B",)"
         R"("status":"changed","messages":[],"changes":[{"setting":"sleep_timer_minutes",)"
         R"("from":30,"to":15,"applied":true},{"setting":"power_off","from":"4-hours",)"
         R"("to":"2-hours","applied":true}]},{"device":"ko-330xs:C","status":"refused",)"
         R"("messages":[{"severity":"error","text":"the scanner refused the power off"}],)"
         R"("changes":[{"setting":"sleep_timer_minutes","from":5,"to":15,"applied":true},)"
         R"({"setting":"power_off","from":null,"to":"inactive","applied":false}]},)"
         R"({"device":"line\nend","status":"busy","messages":[{"severity":"warning",)"
         R"("text":"in use"}],"changes":[]},{"device":"ko-330xs:E","status":"timeout",)"
         R"("messages":[{"severity":"error","text":"no answer within 10 s"}],"changes":[]},)"
         R"({"device":"ko-330xs:F","status":"error","messages":[{"severity":"error",)"
         R"("text":"unreadable"}],"changes":[]},{"device":"gone","status":"absent",)"
         R"("messages":[{"severity":"error","text":"not attached"}],"changes":[]}]})"},
        // With --check nothing is written: "applied" is null, and nothing "changed".
        {RenderApplyJson(check, {"orvexconsumables-apply", "1.2.3", kExitWouldChange}),
         R"({"json_format_version":[1,0],"program":{"name":"orvexconsumables-apply",)"
         R"("version":"1.2.3","exit_status":2,"check":true,"changed":false,)"
         R"("enumeration":"ok","messages":[]},"scanners":[{"device":"ko-330xs:B",)"
         R"("status":"would-change","messages":[],"changes":[{"setting":"power_off",)"
         R"("from":"inactive","to":"1-hour","applied":null}]}]})"},
    };
    for (const auto& [document, expected] : rows) {
        EXPECT_EQ(SchemaViolation(document, ORVEX_TEST_SCHEMA), "");
        EXPECT_EQ(document.back(), '\n');
        EXPECT_EQ(nlohmann::ordered_json::parse(document).dump(), expected);
    }
}

}  // namespace
