// The policy file: what it asks of each scanner, and every fault named with its place and key.
#include "fleet/policy.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace {

const char kPolicy[] = R"(# the site's policy
[settings]
sleep_timer_minutes = 15
power_off = "2-Hours"

[life]
pick_roller = 200000
pad = 50000

[[scanner]]
match = "ko-550xs:*"
settings = { sleep_timer_minutes = 30 }
life = { pick_roller = 400000 }

[[scanner]]
match = "ko-*"
settings = { sleep_timer_minutes = 45, power_off = "inactive" }
life = { pick_roller = 1, roller = 7 }
)";

// What the policy asks of the scanner: its settings (power off by code), then each life it gives.
std::string Asked(const site_policy& policy, const char* device) {
    scanner_policy resolved = ResolvePolicy(policy, device);
    auto text = [](std::optional<int> value) { return value ? std::to_string(*value) : "-"; };
    std::string asked = "sleep " + text(resolved.stSettings.oSleepTimerMinutes) + ", power off " +
                        text(resolved.stSettings.oPowerOffCode);
    for (const consumable_row& row : kConsumables) {
        if (std::optional<int32_t> life = resolved.aLife[static_cast<size_t>(row.eKind)]) {
            asked += ", " + std::string(row.cpId) + " " + std::to_string(*life);
        }
    }
    return asked;
}

TEST(Policy, EveryFaultIsOneMessageWithFileLineColumnAndKey) {
    // The lowest whole number refused is the status program's whole run's (and the apply
    // program's); a lowest life is the same check.
    const std::pair<const char*, const char*> rows[] = {
        {"[settings]\nsleep_timer = 15\n", "p.toml:2:1: settings.sleep_timer: unknown key"},
        {"colour = 1\n", "p.toml:1:1: colour: unknown key"},
        {"[life]\nbrake = 5\n", "p.toml:2:1: life.brake: unknown key"},
        {"[settings]\nsleep_timer_minutes = 1441\n",
         "p.toml:2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440"},
        {"[settings]\nsleep_timer_minutes = 15.0\n",
         "p.toml:2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440"},
        {"[settings]\npower_off = \"3-hours\"\n",
         "p.toml:2:13: settings.power_off: not one of inactive, 1-hour, 2-hours, 4-hours, 8-hours"},
        {"[settings]\npower_off = 2\n",
         "p.toml:2:13: settings.power_off: not one of inactive, 1-hour, 2-hours, 4-hours, 8-hours"},
        {"[life]\npad = 2147483648\n",
         "p.toml:2:7: life.pad: not a whole number from 1 to 2147483647"},
        {"settings = 5\n", "p.toml:1:12: settings: not a table"},
        {"scanner = 5\n", "p.toml:1:11: scanner: not an array of tables"},
        {"[[scanner]]\nsettings = {}\n", "p.toml:1:1: scanner[0]: has no match"},
        {"[[scanner]]\nmatch = \"a\"\n[[scanner]]\nmatch = 5\n",
         "p.toml:4:9: scanner[1].match: not a text"},
        {"[[scanner]]\nmatch = \"a\"\nlife = { pick = 5 }\n",
         "p.toml:3:10: scanner[0].life.pick: unknown key"},
    };
    site_policy policy;
    std::string error;
    for (const auto& [text, message] : rows) {
        EXPECT_FALSE(ParsePolicy(text, "p.toml", &policy, &error)) << text;
        EXPECT_EQ(error, message);
    }
    // Not TOML: the place, then the parser's own description, on one line.
    EXPECT_FALSE(ParsePolicy("[settings\n", "p.toml", &policy, &error));
    EXPECT_EQ(error.rfind("p.toml:1:10: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

// Each key comes from the first matching scanner table that sets it, else from the top level. A
// file named on the command line that is missing is refused by the status program's whole run.
TEST(Policy, AFileGivesEachKeyFromTheFirstMatchingScannerTableAndAMissingOneNoPolicy) {
    site_policy policy;
    std::string error;
    TempDir dir;
    std::string path = dir.path() + "/policy.toml";
    WriteWholeFile(path, kPolicy);
    ASSERT_EQ(ReadPolicy(path, true, &policy, &error), PolicyRead::kRead) << error;
    EXPECT_EQ(Asked(policy, "ko-550xs:KV55A0004"),
              "sleep 30, power off 4, pick_roller 400000, pad 50000, roller 7");
    EXPECT_EQ(Asked(policy, "ko-330xs:KV33A0001"),
              "sleep 45, power off 4, pick_roller 1, pad 50000, roller 7");
    EXPECT_EQ(Asked(policy, "VX-905R"), "sleep 15, power off 1, pick_roller 200000, pad 50000");
    EXPECT_EQ(ReadPolicy("/nonexistent/policy.toml", false, &policy, &error), PolicyRead::kAbsent);
    EXPECT_EQ(ReadPolicy("/", false, &policy, &error), PolicyRead::kInvalid);
    EXPECT_EQ(error, "/: not a regular file");
}

}  // namespace
