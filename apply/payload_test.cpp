// Tests of the child's payload: what the encoder writes is read back whole, anything else refused.
#include "apply/payload.h"

#include <gtest/gtest.h>

#include "consumables/power_off.h"

namespace {

// Every field of a result, to compare two whole.
std::string Describe(const apply_result& result) {
    std::string text = ApplyStatusRowOf(result.eStatus).cpName;
    for (const fleet_message& message : result.vMessages) {
        text += std::string(" [") + SeverityName(message.eSeverity) + " " + message.strText + "]";
    }
    for (const setting_change& change : result.vChanges) {
        text += std::string(" {") + PolicySettingRowOf(change.eSetting).cpKey + " " +
                (change.oFrom ? std::to_string(*change.oFrom) : "?") + "->" +
                std::to_string(change.iTo) + " " +
                (change.oApplied ? (*change.oApplied ? "applied" : "not applied") : "-") + "}";
    }
    return text;
}

TEST(ApplyPayload, WhatIsEncodedIsReadBackWhole) {
    const apply_result rows[] = {
        // Every kind of field: both settings, a value unknown, applied true, false and null.
        {ApplyStatus::kRefused,
         {{Severity::kInfo, "sleep timer 7 minutes rounded to 5"},
          {Severity::kError, "the scanner refused the power off"}},
         {{PolicySetting::kSleepTimer, 15, 5, true},
          {PolicySetting::kPowerOff, std::nullopt, kPowerOffInactiveCode, false},
          {PolicySetting::kPowerOff, 1, 2, std::nullopt}}},
        {ApplyStatus::kCompliant, {}, {}},
        {ApplyStatus::kBusy, {{Severity::kWarning, "in use \"x\"\n"}}, {}},
        {ApplyStatus::kWouldChange, {}, {{PolicySetting::kSleepTimer, 60, 1440, std::nullopt}}},
    };
    for (const apply_result& row : rows) {
        apply_result decoded{ApplyStatus::kError, {}, {}};
        ASSERT_TRUE(DecodeApplyResult(EncodeApplyResult(row), &decoded)) << Describe(row);
        EXPECT_EQ(Describe(decoded), Describe(row));
    }
}

TEST(ApplyPayload, AnythingElseIsRefused) {
    const std::string good = EncodeApplyResult({ApplyStatus::kChanged,
                                                {{Severity::kInfo, "n"}},
                                                {{PolicySetting::kSleepTimer, 15, 30, true}}});
    // The payload with the first "from" replaced by "to".
    auto with = [&](const std::string& from, const std::string& to) {
        std::string payload = good;
        return payload.replace(payload.find(from), from.size(), to);
    };
    const std::string refused[] = {
        "",
        with("\"changed\"", "\"timeout\""),  // the parent's own finding, like absent
        with("\"changed\"", "\"done\""),
        with("\"info\"", "\"notice\""),
        with("sleep_timer_minutes", "offsets"),
        with("\"to\":30", "\"to\":30.0"),
        with("\"to\":30", "\"to\":\"30\""),
        with("\"applied\":true", "\"applied\":true,\"extra\":0"),
        with(",\"to\":30", ""),
    };
    for (const std::string& payload : refused) {
        apply_result result{ApplyStatus::kError, {}, {}};
        EXPECT_FALSE(DecodeApplyResult(payload, &result)) << payload;
        EXPECT_EQ(Describe(result), "error") << payload;
    }
}

}  // namespace
