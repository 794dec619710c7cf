// Reading a fleet front end's command line with getopt_long; every value is checked whole.
#include "fleet/command_line.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool IsLongWord(const std::string& word) {
    return word.rfind("--", 0) == 0;
}

// Whether getopt_long refused the long option that word names because it was given a value:
// optopt then holds that option's code. Otherwise word is an earlier argument, left before the
// short option that was refused in the middle of its cluster ("--policy=a -xV").
bool IsLongOptionGivenValue(const std::string& word, const option* longOptions) {
    size_t equals = word.find('=');
    if (optopt == 0 || !IsLongWord(word) || equals == std::string::npos) {
        return false;
    }
    std::string name = word.substr(2, equals - 2);
    for (const option* row = longOptions; row->name != nullptr; ++row) {
        if (row->val == optopt && row->has_arg == no_argument &&
            std::strncmp(row->name, name.c_str(), name.size()) == 0) {
            return true;
        }
    }
    return false;
}

// Why getopt_long refused an option, naming it as the user wrote it: a long option without its
// value, a short one by its letter.
std::string Refusal(char** argv, const option* longOptions) {
    std::string word = argv[optind - 1];
    std::string name = word.substr(0, word.find('='));
    if (IsLongOptionGivenValue(word, longOptions)) {
        return "option '" + name + "' takes no value";
    }
    bool unknownLong = IsLongWord(word) && optopt == 0;
    return "unknown option '" +
           (unknownLong ? name : std::string("-") + static_cast<char>(optopt)) + "'";
}

// The word of an option whose value is missing: it ends its argument, short or long.
std::string WordWithoutValue(char** argv) {
    std::string word = argv[optind - 1];
    return IsLongWord(word) ? word : std::string("-") + static_cast<char>(optopt);
}

}  // namespace

std::string ScanCommandLine(int argc, char** argv, const char* shortOptions,
                            const option* longOptions, const option_handler& handle) {
    optind = 0;  // a fresh scan, also when called more than once in a process
    opterr = 0;
    std::string first;
    int code = 0;
    while ((code = getopt_long(argc, argv, shortOptions, longOptions, nullptr)) != -1) {
        std::string problem;
        if (code == '?') {
            problem = Refusal(argv, longOptions);
        } else if (code == ':') {
            problem = "option '" + WordWithoutValue(argv) + "' needs a value";
        } else {
            handle(code, optarg, &problem);
        }
        if (first.empty()) {
            first = problem;
        }
    }
    if (first.empty() && optind < argc) {
        first = "unexpected argument '" + std::string(argv[optind]) + "'";
    }
    return first;
}

bool ParseWholeNumber(const char* text, long lo, long hi, int* number) {
    if (*text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < lo || value > hi) {
        return false;
    }
    *number = static_cast<int>(value);
    return true;
}
