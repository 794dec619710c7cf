// Call-trace lines of the tests.
#include "tests/support/trace_lines.h"

#include <algorithm>

std::string EntryPointName(const std::string& line) {
    return line.substr(0, line.find('('));
}

std::vector<std::string> EntryPointNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        names.push_back(EntryPointName(line));
    }
    return names;
}

std::vector<std::string> FilterTrace(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (names.empty() ||
            std::find(names.begin(), names.end(), EntryPointName(line)) != names.end()) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::vector<std::string> WithoutResults(const std::vector<std::string>& lines) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) {
        calls.push_back(line.substr(0, line.rfind(" = ")));
    }
    return calls;
}
