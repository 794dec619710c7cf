// Tests of the option-value conversions and text-shape checks.
#include "cli/convert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kUntouched = 777;

struct IntCase {
    const char* text;
    bool accepted;
    int value;  // the result when accepted
};

TEST(ConvertStringToInt, ReadsWholeDecimalTextsOnly) {
    const IntCase cases[] = {
        {"15", true, 15},
        {"-4", true, -4},
        {"+4", true, 4},
        {" 7", true, 7},
        {"010", true, 10},
        {"0", true, 0},
        {"-0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"7 ", false, 0},
        {"0x10", false, 0},
        {"1e3", false, 0},
        {"4.0", false, 0},
        {"ten", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {" ", false, 0},
        {"5,", false, 0},
        // An empty text must never stand for 0.
        {"", false, 0},
        // Beyond the signed 32-bit range: refused, never narrowed.
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"4294967301", false, 0},
        {"99999999999999999999999", false, 0},
    };
    for (const IntCase& c : cases) {
        int value = kUntouched;
        EXPECT_EQ(ConvertStringToInt(c.text, &value), c.accepted) << "text '" << c.text << "'";
        EXPECT_EQ(value, c.accepted ? c.value : kUntouched) << "text '" << c.text << "'";
    }
}

TEST(ConvertStringToInt, RefusesNullTextAndNullOutput) {
    int value = kUntouched;
    EXPECT_FALSE(ConvertStringToInt(nullptr, &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_FALSE(ConvertStringToInt("5", nullptr));
}

TEST(ConvertStringToIntx10, GivesTenthsRoundedHalfAwayFromZeroOnTheSecondDecimal) {
    const IntCase cases[] = {
        {"12", true, 120},
        {"1.", true, 10},
        {".5", true, 5},
        {"3.1", true, 31},
        {"1.25", true, 13},
        {"1.24", true, 12},
        {"1.2499", true, 12},
        {"-1.25", true, -13},
        {"-0.05", true, -1},
        {"-0.04", true, 0},
        {"+.5", true, 5},
        {"-.5", true, -5},
        {"3.5", true, 35},
        {"-4", true, -40},
        {"0.95", true, 10},
        {"-3.15", true, -32},
        {"007.3", true, 73},
        {"+12.", true, 120},
        {"1.2999", true, 13},
        {"-0", true, 0},
        // The largest and smallest values in tenths.
        {"214748364.7", true, 2147483647},
        {"-214748364.8", true, -2147483647 - 1},
        {"214748364.74", true, 2147483647},
        {"-214748364.84", true, -2147483647 - 1},
    };
    for (const IntCase& c : cases) {
        int value = kUntouched;
        EXPECT_TRUE(ConvertStringToIntx10(c.text, value)) << "text '" << c.text << "'";
        EXPECT_EQ(value, c.value) << "text '" << c.text << "'";
    }
}

TEST(ConvertStringToIntx10, RefusesOtherShapesAndValuesBeyondTheRange) {
    const char* const refused[] = {
        ".",
        "1,5",
        " 1.5",
        "1.2.3",
        "",
        "abc",
        "1.5 ",
        "-",
        "+.",
        "--1",
        "1e3",
        "0x1",
        // Beyond the signed 32-bit range in tenths, also when only the rounding crosses it.
        "214748364.8",
        "214748364.75",
        "-214748364.9",
        "-214748364.85",
        "214748365",
        "99999999999999999999",
        "-99999999999999999999.5",
    };
    for (const char* text : refused) {
        int value = kUntouched;
        EXPECT_FALSE(ConvertStringToIntx10(text, value)) << "text '" << text << "'";
        EXPECT_EQ(value, kUntouched) << "text '" << text << "'";
    }
    int value = kUntouched;
    EXPECT_FALSE(ConvertStringToIntx10(nullptr, value));
    EXPECT_EQ(value, kUntouched);
}

TEST(ConvertStringToIntx10, ReadsALongTextWhole) {
    std::string text = "1." + std::string(5000, '9');
    int value = 0;
    ASSERT_TRUE(ConvertStringToIntx10(text.c_str(), value));
    EXPECT_EQ(value, 20);
}

TEST(ConvertPowerTime, GivesTheCodeOfEachWordIgnoringCase) {
    const struct {
        const char* text;
        int code;
    } cases[] = {
        {"1-hour", 0},   {"2-hours", 1},  {"4-hours", 2}, {"8-hours", 3},
        {"inactive", 4}, {"INACTIVE", 4}, {"1-Hour", 0},  {"8-HOURS", 3},
        {"1-hours", -1}, {"3-hours", -1}, {"", -1},       {"2-hour", -1},
        {" 1-hour", -1}, {"1-hour ", -1}, {"1", -1},      {nullptr, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertPowerTime(c.text), c.code)
            << "text '" << (c.text ? c.text : "(null)") << "'";
    }
}

TEST(MatchReg, MatchesExtendedExpressionsAndRefusesBadPatterns) {
    const struct {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"^a+$", "aaa", true},        {"^a+$", "aab", false},
        {"b", "abc", true},  // unanchored: anywhere in the text
        {"^(ab|cd)$", "cd", true},    {"^[0-9]{2}$", "12", true},  // interval: extended syntax
        {"^[0-9]{2}$", "123", false}, {"(", "(", false},           // does not compile
        {"^a", nullptr, false},       {nullptr, "a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchReg(c.pattern, c.text), c.matches)
            << "pattern " << (c.pattern ? c.pattern : "(null)") << " text "
            << (c.text ? c.text : "(null)");
    }
}

TEST(IsValidVersion, AcceptsThreeGroupsOfDigitsOnly) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"1.2.3", true},    {"2.0.200", true}, {"10.12.3", true}, {"1.2.3 ", false},
        {"1..3", false},    {"2.0", false},    {"2.0.1a", false}, {"v2.0.200", false},
        {"1.2.3.4", false}, {"", false},       {nullptr, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidVersion(c.text), c.valid) << (c.text ? c.text : "(null)");
    }
}

TEST(ConvertDoubleMeg, ReplacesEveryCommaWithAPoint) {
    const struct {
        const char* text;
        const char* converted;
    } cases[] = {
        {"-3,1", "-3.1"}, {"3.1", "3.1"}, {"from 3,5 to 3,1", "from 3.5 to 3.1"},
        {",,", ".."},     {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        ConvertDoubleMeg(&text[0]);
        EXPECT_EQ(text, c.converted);
    }
    ConvertDoubleMeg(nullptr);  // left alone, no crash
}

}  // namespace
