// The policy file: what it asks of each scanner, and every fault named with its place and key.
#include "fleet/policy.h"

#include <gtest/gtest.h>

#include "consumables/power_off.h"
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

std::optional<int32_t> Life(const scanner_policy& policy, ConsumableKind kind) {
    return policy.aLife[static_cast<size_t>(kind)];
}

TEST(Policy, EachKeyFromTheFirstMatchingScannerTableThatSetsItElseTheTopLevel) {
    site_policy policy;
    std::string error;
    ASSERT_TRUE(ParsePolicy(kPolicy, "policy.toml", &policy, &error)) << error;
    struct Row {
        const char* device;
        int sleep;
        int powerOff;
        std::optional<int32_t> pick, pad, roller;
    };
    const Row rows[] = {
        {"ko-550xs:KV55A0004", 30, kPowerOffInactiveCode, 400000, 50000, 7},
        {"ko-330xs:KV33A0001", 45, kPowerOffInactiveCode, 1, 50000, 7},
        {"VX-905R", 15, 1, 200000, 50000, std::nullopt},
    };
    for (const Row& row : rows) {
        scanner_policy resolved = ResolvePolicy(policy, row.device);
        EXPECT_EQ(resolved.stSettings.oSleepTimerMinutes, row.sleep) << row.device;
        EXPECT_EQ(resolved.stSettings.oPowerOffCode, row.powerOff) << row.device;
        EXPECT_EQ(Life(resolved, ConsumableKind::kPickRoller), row.pick) << row.device;
        EXPECT_EQ(Life(resolved, ConsumableKind::kPad), row.pad) << row.device;
        EXPECT_EQ(Life(resolved, ConsumableKind::kRoller), row.roller) << row.device;
        EXPECT_EQ(Life(resolved, ConsumableKind::kBrakeRoller), std::nullopt) << row.device;
    }
}

TEST(Policy, EveryFaultIsOneMessageWithFileLineColumnAndKey) {
    struct Row {
        const char* text;
        const char* message;
    };
    const Row rows[] = {
        {"[settings]\nsleep_timer = 15\n", "p.toml:2:1: settings.sleep_timer: unknown key"},
        {"colour = 1\n", "p.toml:1:1: colour: unknown key"},
        {"[life]\nbrake = 5\n", "p.toml:2:1: life.brake: unknown key"},
        {"[settings]\nsleep_timer_minutes = 0\n",
         "p.toml:2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440"},
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
        {"[life]\npad = -5\n", "p.toml:2:7: life.pad: not a whole number from 1 to 2147483647"},
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
    for (const Row& row : rows) {
        EXPECT_FALSE(ParsePolicy(row.text, "p.toml", &policy, &error)) << row.text;
        EXPECT_EQ(error, row.message);
    }
    // Not TOML: the place, then the parser's own description, on one line.
    EXPECT_FALSE(ParsePolicy("[settings\n", "p.toml", &policy, &error));
    EXPECT_EQ(error.rfind("p.toml:1:10: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

// A file named on the command line that is missing is refused by the status program's whole run.
TEST(Policy, AFileIsReadWholeAndAMissingOneIsNoPolicyUnlessItWasNamed) {
    site_policy policy;
    std::string error;
    TempDir dir;
    std::string path = dir.path() + "/policy.toml";
    WriteWholeFile(path, kPolicy);
    EXPECT_EQ(ReadPolicy(path, true, &policy, &error), PolicyRead::kRead) << error;
    EXPECT_EQ(ResolvePolicy(policy, "VX-905R").stSettings.oSleepTimerMinutes, 15);
    EXPECT_EQ(ReadPolicy("/nonexistent/policy.toml", false, &policy, &error), PolicyRead::kAbsent);
    EXPECT_EQ(ReadPolicy("/", false, &policy, &error), PolicyRead::kInvalid);
    EXPECT_EQ(error, "/: not a regular file");
}

}  // namespace
