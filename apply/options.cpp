// Reading the command line with getopt_long; every value is checked whole.
#include "apply/options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "fleet/policy.h"

namespace {

// --check has no short form; its code is no character.
constexpr int kCheckOption = 0x100;

const char kShortOptions[] = ":p:d:t:j:f:hV";

const option kLongOptions[] = {
    {"check", no_argument, nullptr, kCheckOption},
    {"policy", required_argument, nullptr, 'p'},
    {"device-name", required_argument, nullptr, 'd'},
    {"timeout", required_argument, nullptr, 't'},
    {"jobs", required_argument, nullptr, 'j'},
    {"format", required_argument, nullptr, 'f'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The limits of the numeric options.
struct whole_range {
    const char* cpWhat;
    int iLow;
    int iHigh;
};
constexpr whole_range kTimeoutRange = {"the timeout", 1, 3600};
constexpr whole_range kJobsRange = {"the number of jobs", 1, 64};

// The names of the formats in table order, the first followed by afterDefault, joined by
// separator and before the last by lastSeparator.
std::string FormatNames(const char* separator, const char* lastSeparator,
                        const char* afterDefault = "") {
    std::string names;
    const size_t count = std::size(kApplyFormats);
    for (size_t i = 0; i < count; ++i) {
        // cppcheck-suppress knownConditionTrueFalse ; true before the last of three formats or more
        names += i == 0 ? "" : i + 1 < count ? separator : lastSeparator;
        names += kApplyFormats[i].cpName;
        names += i == 0 ? afterDefault : "";
    }
    return names;
}

bool ParseFormat(const char* text, const apply_format** format) {
    for (const apply_format& row : kApplyFormats) {
        if (std::strcmp(text, row.cpName) == 0) {
            *format = &row;
            return true;
        }
    }
    return false;
}

// A whole decimal number within the range, digits only; a description in *problem otherwise.
void ParseWhole(const char* text, const whole_range& range, int* value, std::string* problem) {
    char* end = nullptr;
    errno = 0;
    long number = *text >= '0' && *text <= '9' ? std::strtol(text, &end, 10) : -1;
    if (end == nullptr || errno != 0 || *end != '\0' || number < range.iLow ||
        number > range.iHigh) {
        *problem = std::string(range.cpWhat) + " '" + text + "' is not a whole number from " +
                   std::to_string(range.iLow) + " to " + std::to_string(range.iHigh);
        return;
    }
    *value = static_cast<int>(number);
}

// The option word as the user wrote it, for messages: a long option as written (without its
// value), a short one by its letter.
std::string OptionWord(char** argv, bool missingValue) {
    std::string word = argv[optind - 1];
    bool isLong = word.rfind("--", 0) == 0;
    if (optopt != 0 && optopt < kCheckOption && !(missingValue && isLong)) {
        return std::string("-") + static_cast<char>(optopt);
    }
    return word.substr(0, word.find('='));
}

// An option that getopt_long did not take: unknown, or a long one without a value given one.
std::string UnknownOption(char** argv) {
    std::string word = argv[optind - 1];
    size_t equals = word.find('=');
    if (optopt != 0 && word.rfind("--", 0) == 0 && equals != std::string::npos) {
        return "option '" + word.substr(0, equals) + "' takes no value";
    }
    return "unknown option '" + OptionWord(argv, false) + "'";
}

void ApplyOption(int option, const char* value, apply_options* options, std::string* problem) {
    switch (option) {
        case kCheckOption:
            options->bCheck = true;
            break;
        case 'p':
            options->strPolicyPath = value;
            if (options->strPolicyPath.empty()) {
                *problem = "the policy file name is empty";
            }
            break;
        case 'd':
            options->vDeviceNames.emplace_back(value);
            break;
        case 't':
            ParseWhole(value, kTimeoutRange, &options->iTimeoutSeconds, problem);
            break;
        case 'j':
            ParseWhole(value, kJobsRange, &options->iJobs, problem);
            break;
        case 'f':
            if (!ParseFormat(value, &options->pFormat)) {
                *problem =
                    "unknown format '" + std::string(value) + "' (" + FormatNames(", ", ", ") + ")";
            }
            break;
        case 'h':
            options->bHelp = true;
            break;
        case 'V':
            options->bVersion = true;
            break;
    }
}

}  // namespace

bool ParseApplyOptions(int argc, char** argv, apply_options* options, std::string* error) {
    optind = 0;  // a fresh scan, also when called more than once in a process
    opterr = 0;
    std::vector<std::string> problems;
    int option = 0;
    while ((option = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr)) != -1) {
        std::string problem;
        if (option == '?') {
            problem = UnknownOption(argv);
        } else if (option == ':') {
            problem = "option '" + OptionWord(argv, true) + "' needs a value";
        } else {
            ApplyOption(option, optarg, options, &problem);
        }
        if (!problem.empty()) {
            problems.push_back(problem);
        }
    }
    if (optind < argc) {
        problems.push_back("unexpected argument '" + std::string(argv[optind]) + "'");
    }
    *error = problems.empty() ? "" : problems.front();  // the first problem is the one reported
    return problems.empty();
}

std::string ApplyHelpText() {
    return "Usage: orvexconsumables-apply [--check] [-p POLICY] [-d NAME]... [-t SECONDS]\n"
           "                              [-j JOBS] [-f " +
           FormatNames("|", "|") + R"(] [-h] [-V]
Brings the sleep timer and the power-off of every attached scanner to the policy, writing only
the settings that differ.

      --check              compare only: say what would change, write nothing
  -p, --policy FILE        the policy (default )" +
           std::string(g_cpDefaultPolicyPath) + R"()
  -d, --device-name NAME   only this scanner (repeatable)
  -t, --timeout SECONDS    deadline for the enumeration and for reading each scanner
                           (1 to 3600, default 10); a write that has begun is waited for
  -j, --jobs JOBS          scanners worked on at once (1 to 64, default 1)
  -f, --format FORMAT      )" +
           FormatNames(", ", " or ", " (default)") + R"(
  -h, --help               show this help
  -V, --version            show the version

Exit status: 0 every scanner complies with the policy (changed or not); 2 --check found a
difference; 4 a scanner could not be read or changed, or the enumeration failed; 1 the output
could not be written; 3 usage or policy error.
)";
}
