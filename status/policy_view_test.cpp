// Tests of the policy applied to a run: the life and settings each scanner with data gets.
#include "status/policy_view.h"

#include <gtest/gtest.h>

#include "tests/support/status_support.h"

namespace {

site_policy Policy(const char* text) {
    site_policy policy;
    std::string error;
    EXPECT_TRUE(ParsePolicy(text, "p.toml", &policy, &error)) << error;
    return policy;
}

// The life given to the full scanner's pick roller, and its settings checked ("key wanted/actual
// yes|no"), or "no policy".
std::string Applied(const scanner_outcome& scanner) {
    std::optional<int32_t> pick = scanner.aLife[static_cast<size_t>(ConsumableKind::kPickRoller)];
    std::string text = "pick " + (pick ? std::to_string(*pick) : std::string("-"));
    if (!scanner.oPolicy) {
        return text + "; no policy";
    }
    for (const setting_check& check : scanner.oPolicy->vChecks) {
        text += std::string("; ") + PolicySettingRowOf(check.eSetting).cpKey + " " +
                std::to_string(check.iWanted) + "/" +
                (check.oActual ? std::to_string(*check.oActual) : "-") + " " +
                (check.bCompliant ? "yes" : "no");
    }
    return text;
}

TEST(ApplyPolicy, EachScannerWithDataGetsItsLifeAndSettingsMatchedOnItsName) {
    struct Case {
        const char* policy;
        const char* name;  // as the library gives it
        ScannerStatus status;
        bool cached;
        std::string expected;
    };
    const char* const overrides = R"([life]
pick_roller = 200000
[[scanner]]
match = "ko-330xs:?B"
settings = { sleep_timer_minutes = 22 }
life = { pick_roller = 1000 }
[[scanner]]
match = "ko-*"
settings = { power_off = "inactive" }
)";
    const std::vector<Case> cases = {
        // Settings are checked only when the policy sets one somewhere.
        {"[life]\npick_roller = 5\n", "ko-330xs:A", ScannerStatus::kOk, false, "pick 5; no policy"},
        {"[[scanner]]\nmatch = \"*\"\nsettings = {}\n", "ko-330xs:A", ScannerStatus::kOk, false,
         "pick -; no policy"},
        {"[settings]\nsleep_timer_minutes = 15\n", "ko-330xs:A", ScannerStatus::kOk, false,
         "pick -; sleep_timer_minutes 15/15 yes"},
        // An override that sets a setting gives every scanner its check, even where none applies.
        {overrides, "VX-905R", ScannerStatus::kOk, false, "pick 200000"},
        {overrides, "ko-330xs:A", ScannerStatus::kOk, false, "pick 200000; power_off 4/1 no"},
        // Matched on the bytes the library gives: "?" is one byte, before its repair to three.
        {overrides,
         "ko-330xs:\xff"
         "B",
         ScannerStatus::kBusy, true, "pick 1000; sleep_timer_minutes 20/15 no; power_off 4/1 no"},
        // No data: nothing to judge.
        {overrides,
         "ko-330xs:\xff"
         "C",
         ScannerStatus::kBusy, false, "pick -; no policy"},
    };
    for (const Case& c : cases) {
        scanner_outcome scanner{"made valid", c.status, 0, {}, FullReport(), c.name};
        scanner.bCached = c.cached;
        run_outcome run{EnumerationStatus::kOk, 1, 0, {}, {scanner}};
        ApplyPolicy(Policy(c.policy), &run);
        EXPECT_EQ(Applied(run.vScanners[0]), c.expected) << c.policy << " " << c.name;
    }
}

}  // namespace
