// The policy's settings against a scanner's: the tool's rounding, and compliance as the tool's
// change operations decide it.
#include "fleet/settings_check.h"

#include <gtest/gtest.h>

#include "consumables/power_off.h"

namespace {

// A scanner whose sleep timer runs from 5 to 60 minutes, set to 15; power-off on, two hours.
report_view Scanner() {
    report_view view{};
    view.oSleepTimer = sleep_timer_view{15, 5, 60};
    view.oPowerOff = power_off_view{true, 2};
    return view;
}

TEST(CheckSettings, WantedIsWhatTheToolWouldWriteAndCompliantWhenTheScannerHasIt) {
    struct Row {
        policy_settings settings;
        power_off_view powerOff;
        std::vector<std::string> expected;  // setting requested -> wanted / actual, compliant
    };
    const Row rows[] = {
        {{15, 1}, {true, 2}, {"sleep_timer_minutes 15->15/15 yes", "power_off 1->1/1 yes"}},
        {{22, std::nullopt}, {true, 2}, {"sleep_timer_minutes 22->20/15 no"}},
        {{240, std::nullopt}, {true, 2}, {"sleep_timer_minutes 240->60/15 no"}},
        {{1, std::nullopt}, {true, 2}, {"sleep_timer_minutes 1->5/15 no"}},
        {{std::nullopt, kPowerOffInactiveCode}, {false, 2}, {"power_off 4->4/4 yes"}},
        {{std::nullopt, kPowerOffInactiveCode}, {true, 2}, {"power_off 4->4/1 no"}},
        {{std::nullopt, 1}, {false, 2}, {"power_off 1->1/4 no"}},
        {{std::nullopt, 1}, {true, std::nullopt}, {"power_off 1->1/- no"}},
    };
    for (const Row& row : rows) {
        report_view view = Scanner();
        view.oPowerOff = row.powerOff;
        settings_check check = CheckSettings(row.settings, view);
        std::vector<std::string> found;
        for (const setting_check& c : check.vChecks) {
            found.push_back(std::string(PolicySettingRowOf(c.eSetting).cpKey) + " " +
                            std::to_string(c.iRequested) + "->" + std::to_string(c.iWanted) + "/" +
                            (c.oActual ? std::to_string(*c.oActual) : "-") + " " +
                            (c.bCompliant ? "yes" : "no"));
        }
        EXPECT_EQ(found, row.expected);
        EXPECT_TRUE(check.vNotOffered.empty());
    }
}

TEST(CheckSettings, ASettingTheScannerDoesNotOfferIsLeftOut) {
    report_view view{};
    settings_check check = CheckSettings({15, 1}, view);
    EXPECT_TRUE(check.vChecks.empty());
    EXPECT_EQ(check.vNotOffered,
              (std::vector<PolicySetting>{PolicySetting::kSleepTimer, PolicySetting::kPowerOff}));
}

TEST(CheckSettings, ValuesAsTheOutputsWriteThem) {
    EXPECT_EQ(SettingValueText(PolicySetting::kSleepTimer, 15), "15");
    EXPECT_EQ(SettingValueText(PolicySetting::kPowerOff, 1), "2-hours");
    EXPECT_EQ(SettingValueText(PolicySetting::kPowerOff, kPowerOffInactiveCode), "inactive");
}

}  // namespace
