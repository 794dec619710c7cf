// Message output. Messages are composed without a length limit and a command-line word is never
// interpreted as a format.
#include "cli/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

static const char kProgramPrefix[] = "orvexconsumables: ";

// Writes the caller's format with its one "%s" replaced by the message; "%%" stands for "%".
static void WriteFormatted(const char* format, const char* message) {
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            fputs(message, stdout);
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            putchar('%');
            ++p;
        } else {
            putchar(*p);
        }
    }
}

void ShowErrMsg(const char* format, const char* message) {
    if (message == nullptr) {
        return;
    }
    fputs(kProgramPrefix, stdout);
    if (format == nullptr) {
        fputs(message, stdout);
    } else {
        WriteFormatted(format, message);
    }
    putchar('\n');
}

// NOLINTNEXTLINE(cert-dcl50-cpp): printf-style on purpose, checked by the format attribute
std::string FormatMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): va_copy set it; the analyzer misses it
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}
