// Argument conversion and validation.
#include "cli/convert.h"

bool ConvertStringToInt(const char* text, int* value) {
    (void)text;
    (void)value;
    return false;  // TODO(cli)
}

bool ConvertStringToIntx10(const char* text, int& value) {
    (void)text;
    (void)value;
    return false;  // TODO(cli)
}

int ConvertPowerTime(const char* text) {
    (void)text;
    return -1;  // TODO(cli)
}

bool MatchReg(const char* pattern, const char* text) {
    (void)pattern;
    (void)text;
    return false;  // TODO(cli)
}

bool IsValidVersion(const char* text) {
    (void)text;
    return false;  // TODO(cli)
}

void ConvertDoubleMeg(char* text) {
    (void)text;  // TODO(cli)
}
