// Message lines: "orvexconsumables: <message>" on standard output.
#pragma once

#include <string>

/// Prints one message line. Without a format the message is printed literally; with one, the
/// format's single "%s" is replaced by the message. An absent message prints nothing.
void ShowErrMsg(const char* format, const char* message);

/// Formats a message of any length with printf conversions (the format is always the tool's own).
std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
