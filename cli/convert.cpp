// Argument conversion and validation: strict readings of option values; nothing is printed.
#include "cli/convert.h"

#include <regex.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "consumables/power_off.h"

// The shapes a decimal value may have, tried in this order: "1.25" and ".5", "12", "1.".
static const char* const kDecimalPatterns[] = {
    "^[-+]?([0-9]*)[.]([0-9]+$)",
    "^[-+]?([0-9]+$)",
    "^[-+]?([0-9]+)[.]$",
};

static const char kVersionPattern[] = "^[0-9]+[.][0-9]+[.][0-9]+$";

static bool FitsInt32(long long number) {
    return number >= INT32_MIN && number <= INT32_MAX;
}

// Reads the leading base-10 integer of text; end receives where the reading stopped. False when
// no digit was read or the number is beyond the signed 32-bit range.
static bool ReadInt32(const char* text, long long* number, char** end) {
    errno = 0;
    long long read = std::strtoll(text, end, 10);
    if (*end == text || errno == ERANGE || !FitsInt32(read)) {
        return false;
    }
    *number = read;
    return true;
}

bool ConvertStringToInt(const char* text, int* value) {
    if (text == nullptr || value == nullptr) {
        return false;
    }
    long long number = 0;
    char* end = nullptr;
    // An empty text reads no digit and is refused: it must never stand for 0.
    if (!ReadInt32(text, &number, &end) || *end != '\0') {
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

static bool MatchesDecimalShape(const char* text) {
    for (const char* pattern : kDecimalPatterns) {
        if (MatchReg(pattern, text)) {
            return true;
        }
    }
    return false;
}

// With the point swapped one place to the right, the part before it is the value in tenths,
// truncated; the digit after it (the second decimal, or the appended '0') decides the rounding.
static bool ReadSwappedTenths(char* copy, char* point, bool negative, long long* tenths) {
    point[0] = point[1];
    point[1] = '.';
    // A text such as "-.5" has become "-5.0": a digit always stands before the point now, so a
    // failed reading means a value beyond the 32-bit range.
    char* end = nullptr;
    long long whole = 0;
    if (!ReadInt32(copy, &whole, &end)) {
        return false;
    }
    char next = point[2];
    if (next >= '5' && next <= '9') {
        whole += negative ? -1 : 1;
    }
    *tenths = whole;
    return FitsInt32(whole);
}

static bool ReadTenths(char* copy, long long* tenths) {
    char* point = std::strchr(copy, '.');
    if (point == nullptr) {
        char* end = nullptr;
        return ReadInt32(copy, tenths, &end);
    }
    return ReadSwappedTenths(copy, point, copy[0] == '-', tenths);
}

bool ConvertStringToIntx10(const char* text, int& value) {
    if (text == nullptr || !MatchesDecimalShape(text)) {
        return false;
    }
    size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 2));
    if (copy == nullptr) {
        return false;
    }
    std::memcpy(copy, text, length);
    copy[length] = '0';
    copy[length + 1] = '\0';
    long long tenths = 0;
    bool converted = ReadTenths(copy, &tenths);
    std::free(copy);
    if (converted) {
        value = static_cast<int>(tenths);
    }
    return converted;
}

int ConvertPowerTime(const char* text) {
    return PowerOffCodeOfText(text);
}

bool MatchReg(const char* pattern, const char* text) {
    if (pattern == nullptr || text == nullptr) {
        return false;
    }
    regex_t expression;
    if (regcomp(&expression, pattern, REG_EXTENDED) != 0) {
        return false;
    }
    regmatch_t match[1];
    int result = regexec(&expression, text, 1, match, 0);
    regfree(&expression);
    return result == 0;
}

bool IsValidVersion(const char* text) {
    return MatchReg(kVersionPattern, text);
}

void ConvertDoubleMeg(char* text) {
    if (text == nullptr) {
        return;
    }
    for (char* p = text; *p != '\0'; ++p) {
        if (*p == ',') {
            *p = '.';
        }
    }
}
