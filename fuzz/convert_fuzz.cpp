// Fuzz target: every option-value conversion and text-shape check, against a plain reading of
// the same rules written here digit by digit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/convert.h"
#include "fuzz/fuzz_support.h"

namespace {

// The shapes a decimal value may have, and the version shape, as the tool documents them.
const char* const kDecimalPatterns[] = {
    "^[-+]?([0-9]*)[.]([0-9]+$)",
    "^[-+]?([0-9]+$)",
    "^[-+]?([0-9]+)[.]$",
};
const char* const kPowerOffWords[] = {"1-hour", "2-hours", "4-hours", "8-hours", "inactive"};
constexpr int kUntouched = -777;
constexpr long long kSaturated = 1LL << 40;  // far beyond the 32-bit range

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The white space that the C library's integer reading skips in the C locale.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A run of digits as a number that stops growing beyond the 32-bit range.
long long ReadDigits(const char*& p, int* count) {
    long long number = 0;
    *count = 0;
    for (; IsDigit(*p); ++p, ++*count) {
        number = number * 10 + (*p - '0');
        if (number > kSaturated) {
            number = kSaturated;
        }
    }
    return number;
}

bool FitsInt32(long long number) {
    return number >= INT32_MIN && number <= INT32_MAX;
}

// The whole text is blanks, a sign, digits and nothing else, and the number fits.
bool ExpectedInt(const char* text, int* value) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    int digits = 0;
    long long magnitude = ReadDigits(p, &digits);
    long long number = negative ? -magnitude : magnitude;
    if (digits == 0 || *p != '\0' || !FitsInt32(number)) {
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

// The text as the shortest decimal of the same value: no blanks, no plus, no leading zeros.
std::string CanonicalInt(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    while (p[0] == '0' && IsDigit(p[1])) {
        ++p;
    }
    return (negative && std::strcmp(p, "0") != 0 ? "-" : "") + std::string(p);
}

void CheckConvertStringToInt(const char* text) {
    int value = kUntouched;
    bool accepted = ConvertStringToInt(text, &value);
    int expected = 0;
    bool valid = ExpectedInt(text, &expected);
    FuzzCheck(accepted == valid, "ConvertStringToInt accepts exactly whole 32-bit integers");
    if (!accepted) {
        FuzzCheck(value == kUntouched, "a refused integer leaves the value untouched");
        return;
    }
    FuzzCheck(value == expected, "ConvertStringToInt reads the decimal value");
    char printed[16];
    std::snprintf(printed, sizeof printed, "%d", value);
    FuzzCheck(CanonicalInt(text) == printed, "an accepted integer reprints to the same number");
}

// The pieces of a decimal text: sign, whole digits, point, decimals, and whether that is all.
struct DecimalShape {
    bool bNegative;
    long long llWhole;
    int iWholeDigits;
    bool bPoint;
    int iDecimals;
    char cFirstDecimal;
    char cSecondDecimal;
    bool bComplete;
};

DecimalShape ReadDecimalShape(const char* text) {
    DecimalShape shape = {};
    shape.cFirstDecimal = '0';
    shape.cSecondDecimal = '0';
    const char* p = text;
    shape.bNegative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    shape.llWhole = ReadDigits(p, &shape.iWholeDigits);
    shape.bPoint = *p == '.';
    if (shape.bPoint) {
        ++p;
        const char* decimals = p;
        ReadDigits(p, &shape.iDecimals);
        shape.cFirstDecimal = shape.iDecimals > 0 ? decimals[0] : '0';
        shape.cSecondDecimal = shape.iDecimals > 1 ? decimals[1] : '0';
    }
    shape.bComplete = *p == '\0';
    return shape;
}

void CheckDecimalPatterns(const char* text, const DecimalShape& s) {
    bool shapes[] = {
        s.bComplete && s.bPoint && s.iDecimals > 0,
        s.bComplete && !s.bPoint && s.iWholeDigits > 0,
        s.bComplete && s.bPoint && s.iWholeDigits > 0 && s.iDecimals == 0,
    };
    for (size_t i = 0; i < 3; ++i) {
        FuzzCheck(MatchReg(kDecimalPatterns[i], text) == shapes[i],
                  "MatchReg agrees with the decimal shapes");
    }
}

void CheckConvertStringToIntx10(const char* text) {
    DecimalShape s = ReadDecimalShape(text);
    CheckDecimalPatterns(text, s);
    bool shaped = s.bComplete && (s.iWholeDigits > 0 || s.iDecimals > 0);
    long long magnitude =
        s.llWhole * 10 + (s.cFirstDecimal - '0') + (s.cSecondDecimal >= '5' ? 1 : 0);
    long long tenths = s.bNegative ? -magnitude : magnitude;
    int value = kUntouched;
    bool accepted = ConvertStringToIntx10(text, value);
    FuzzCheck(accepted == (shaped && FitsInt32(tenths)),
              "ConvertStringToIntx10 accepts decimals whose tenths fit in 32 bits");
    FuzzCheck(accepted ? value == tenths : value == kUntouched,
              "ConvertStringToIntx10 rounds half away from zero, or leaves the value untouched");
}

bool EqualsIgnoringCase(const char* text, const char* word) {
    for (; *text != '\0' && *word != '\0'; ++text, ++word) {
        if (AsciiLower(*text) != AsciiLower(*word)) {
            return false;
        }
    }
    return *text == *word;
}

void CheckConvertPowerTime(const char* text) {
    int expected = -1;
    for (int code = 0; code < 5 && expected == -1; ++code) {
        if (EqualsIgnoringCase(text, kPowerOffWords[code])) {
            expected = code;
        }
    }
    FuzzCheck(ConvertPowerTime(text) == expected, "ConvertPowerTime knows exactly the five words");
}

void CheckIsValidVersion(const char* text) {
    const char* p = text;
    bool valid = true;
    for (int group = 0; group < 3 && valid; ++group) {
        int digits = 0;
        ReadDigits(p, &digits);
        valid = digits > 0 && *p == (group < 2 ? '.' : '\0');
        p += group < 2 ? 1 : 0;
    }
    FuzzCheck(IsValidVersion(text) == valid, "IsValidVersion takes three digit groups only");
}

void CheckConvertDoubleMeg(const char* text, size_t length) {
    std::string before(text, length);
    std::string after = before;
    ConvertDoubleMeg(&after[0]);
    FuzzCheck(after.size() == before.size(), "ConvertDoubleMeg keeps the length");
    for (size_t i = 0; i < before.size(); ++i) {
        char expected = before[i] == ',' ? '.' : before[i];
        FuzzCheck(after[i] == expected, "ConvertDoubleMeg turns commas into points, nothing else");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    int value = kUntouched;
    FuzzCheck(!ConvertStringToInt(nullptr, &value) && value == kUntouched,
              "a null text is refused");
    FuzzCheck(!ConvertStringToInt("1", nullptr), "a null output is refused");
    FuzzCheck(!ConvertStringToIntx10(nullptr, value) && value == kUntouched,
              "a null decimal text is refused");
    FuzzCheck(ConvertPowerTime(nullptr) == -1, "a null power-off text is invalid");
    ConvertDoubleMeg(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read past the terminator is caught.
    char* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr) {
        return 0;
    }
    std::memcpy(text, data, size);
    text[size] = '\0';
    size_t length = std::strlen(text);
    CheckConvertStringToInt(text);
    CheckConvertStringToIntx10(text);
    CheckConvertPowerTime(text);
    CheckIsValidVersion(text);
    CheckConvertDoubleMeg(text, length);
    std::free(text);
    return 0;
}
