// Exact, case-sensitive matching of device names and model designations against fixed lists.
#pragma once

#include <cstddef>
#include <cstring>

/// True when text (may be null) equals one of the names, whole and with letter case.
template <size_t N>
bool IsOneOfNames(const char* text, const char* const (&names)[N]) {
    if (text == nullptr) {
        return false;
    }
    for (const char* name : names) {
        if (std::strcmp(text, name) == 0) {
            return true;
        }
    }
    return false;
}
