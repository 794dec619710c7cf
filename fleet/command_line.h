// Reading a fleet front end's command line: the getopt_long scan with its messages, whole numbers,
// and the names of a front end's formats.
#pragma once

#include <getopt.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

/// Takes one option with its value (null for an option without one); a value that does not fit
/// leaves a one-line description in *problem.
using option_handler = std::function<void(int code, const char* value, std::string* problem)>;

/// Scans the command line from its start, handing each option to handle, and goes on after a
/// problem so that a later option (the format above all) still takes effect. Returns the first
/// problem, "" for none: "unknown option '-x'", "option '--check' takes no value", "option '-t'
/// needs a value", what handle refused, or "unexpected argument 'x'" for a word that is no option.
/// shortOptions starts with ':'. Prints nothing.
std::string ScanCommandLine(int argc, char** argv, const char* shortOptions,
                            const option* longOptions, const option_handler& handle);

/// Reads a whole number from lo to hi written in decimal digits alone (no sign, no space).
/// Returns false, *number unchanged, for anything else.
bool ParseWholeNumber(const char* text, long lo, long hi, int* number);

/// The names of a table of formats in order, the first followed by afterFirst, joined by
/// separator and before the last by lastSeparator: "json, text", "json (default) or text".
template <typename Row, size_t N>
std::string FormatNames(const Row (&rows)[N], const char* separator, const char* lastSeparator,
                        const char* afterFirst = "") {
    std::string names;
    for (size_t i = 0; i < N; ++i) {
        // cppcheck-suppress knownConditionTrueFalse ; true before the last of three formats or more
        names += i == 0 ? "" : i + 1 < N ? separator : lastSeparator;
        names += rows[i].cpName;
        names += i == 0 ? afterFirst : "";
    }
    return names;
}

/// Sets *format to the row of a table of formats whose cpName is name; for a name that is none
/// of them, leaves *format as it was and describes it in *problem with the names to choose from.
template <typename Row, size_t N>
void ChooseFormat(const Row (&rows)[N], const char* name, const Row** format,
                  std::string* problem) {
    for (const Row& row : rows) {
        if (std::strcmp(name, row.cpName) == 0) {
            *format = &row;
            return;
        }
    }
    *problem = "unknown format '" + std::string(name) + "' (" + FormatNames(rows, ", ", ", ") + ")";
}
