// Conversions of option values and checks of text shapes; they print nothing.
#pragma once

/// Reads a whole text as a base-10 signed 32-bit integer. False (value untouched) otherwise.
bool ConvertStringToInt(const char* text, int* value);

/// Reads a decimal with one significant decimal place as tenths, rounding half away from zero
/// on the second decimal. False (value untouched) when the text has another shape.
bool ConvertStringToIntx10(const char* text, int& value);

/// "1-hour", "2-hours", "4-hours", "8-hours", "inactive" (any case) give 0..4; anything else -1.
int ConvertPowerTime(const char* text);

/// True when the text matches the POSIX extended regular expression.
bool MatchReg(const char* pattern, const char* text);

/// True for three groups of decimal digits joined by points, such as "2.0.200".
bool IsValidVersion(const char* text);

/// Replaces every comma of the text with a point, in place; a null text is left alone.
void ConvertDoubleMeg(char* text);
