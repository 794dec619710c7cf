// The policy's settings against a scanner's: the tool's rounding, and compliance as the tool's
// change operations decide it. How the outputs write the values is in their whole texts.
#include "fleet/settings_check.h"

#include <gtest/gtest.h>

#include "consumables/power_off.h"

namespace {

// A scanner whose sleep timer runs from 5 to 60 minutes, set to 15, with this power-off.
report_view Scanner(std::optional<power_off_view> powerOff) {
    report_view view{};
    view.oSleepTimer = sleep_timer_view{15, 5, 60};
    view.oPowerOff = powerOff;
    return view;
}

TEST(CheckSettings, WantedIsWhatTheToolWouldWriteAndCompliantWhenTheScannerHasIt) {
    const power_off_view twoHours{true, 2}, off{false, 2};
    struct Row {
        policy_settings settings;
        report_view view;
        std::vector<std::string> expected;  // requested -> wanted / actual, compliant
    };
    // A setting met, and one rounded to the scanner's step, are the status program's policy
    // view's rows (and the apply program's whole runs').
    const Row rows[] = {
        {{240, std::nullopt}, Scanner(twoHours), {"sleep_timer_minutes 240->60/15 no"}},
        {{1, std::nullopt}, Scanner(twoHours), {"sleep_timer_minutes 1->5/15 no"}},
        {{std::nullopt, kPowerOffInactiveCode}, Scanner(off), {"power_off 4->4/4 yes"}},
        {{std::nullopt, kPowerOffInactiveCode}, Scanner(twoHours), {"power_off 4->4/1 no"}},
        {{std::nullopt, 1}, Scanner(off), {"power_off 1->1/4 no"}},
        {{std::nullopt, 1}, Scanner(power_off_view{true, std::nullopt}), {"power_off 1->1/- no"}},
        // A setting that the scanner does not offer is left out of the checks.
        {{15, 1}, report_view{}, {"sleep_timer_minutes not offered", "power_off not offered"}},
    };
    for (const Row& row : rows) {
        settings_check check = CheckSettings(row.settings, row.view);
        std::vector<std::string> found;
        for (const setting_check& c : check.vChecks) {
            found.push_back(std::string(PolicySettingRowOf(c.eSetting).cpKey) + " " +
                            std::to_string(c.iRequested) + "->" + std::to_string(c.iWanted) + "/" +
                            (c.oActual ? std::to_string(*c.oActual) : "-") + " " +
                            (c.bCompliant ? "yes" : "no"));
        }
        for (PolicySetting setting : check.vNotOffered) {
            found.push_back(std::string(PolicySettingRowOf(setting).cpKey) + " not offered");
        }
        EXPECT_EQ(found, row.expected);
    }
}

}  // namespace
