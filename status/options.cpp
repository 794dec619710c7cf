// Reading the command line with getopt_long; every value is checked whole.
#include "status/options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kShortOptions[] = ":f:o:d:t:hV";

// The codes of the options that have no short form.
constexpr int kTotalTimeoutOption = 256;

const option kLongOptions[] = {
    {"format", required_argument, nullptr, 'f'},
    {"output", required_argument, nullptr, 'o'},
    {"device-name", required_argument, nullptr, 'd'},
    {"timeout", required_argument, nullptr, 't'},
    {"total-timeout", required_argument, nullptr, kTotalTimeoutOption},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

bool ParseFormat(const char* text, const output_format** format) {
    for (const output_format& row : kOutputFormats) {
        if (std::strcmp(text, row.cpName) == 0) {
            *format = &row;
            return true;
        }
    }
    return false;
}

// The names of the formats in table order, the first followed by afterDefault, joined by
// separator and before the last by lastSeparator.
std::string FormatNames(const char* separator, const char* lastSeparator,
                        const char* afterDefault = "") {
    std::string names;
    const size_t count = std::size(kOutputFormats);
    for (size_t i = 0; i < count; ++i) {
        names += i == 0 ? "" : i + 1 < count ? separator : lastSeparator;
        names += kOutputFormats[i].cpName;
        names += i == 0 ? afterDefault : "";
    }
    return names;
}

// The formats' own total timeouts for the help: "50 with nagios, else none".
std::string TotalTimeoutDefaults() {
    std::string defaults;
    for (const output_format& row : kOutputFormats) {
        if (row.iDefaultTotalTimeout != 0) {
            defaults += std::to_string(row.iDefaultTotalTimeout) + " with " + row.cpName + ", ";
        }
    }
    return defaults + (defaults.empty() ? "none" : "else none");
}

// Whole seconds from lowest to highest, digits only.
bool ParseSeconds(const char* text, long lowest, long highest, int* seconds) {
    if (*text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < lowest || value > highest) {
        return false;
    }
    *seconds = static_cast<int>(value);
    return true;
}

// The option word as the user wrote it, for messages: a long option as written (without its
// value), a short one by its letter.
std::string OptionWord(char** argv, bool missingValue) {
    std::string word = argv[optind - 1];
    bool isLong = word.rfind("--", 0) == 0;
    if (optopt != 0 && !(missingValue && isLong)) {
        return std::string("-") + static_cast<char>(optopt);
    }
    return word.substr(0, word.find('='));
}

void ApplyTotalTimeout(const char* value, status_options* options, std::string* problem) {
    if (!ParseSeconds(value, 0, kMaxTotalTimeoutSeconds, &options->iTotalTimeoutSeconds)) {
        *problem = "the total timeout '" + std::string(value) +
                   "' is not a whole number of seconds from 0 to " +
                   std::to_string(kMaxTotalTimeoutSeconds);
    }
}

// Applies one option with its value; a value that does not fit leaves a description in *problem.
void ApplyOption(int option, const char* value, status_options* options, std::string* problem) {
    switch (option) {
        case 'f':
            if (!ParseFormat(value, &options->pFormat)) {
                *problem =
                    "unknown format '" + std::string(value) + "' (" + FormatNames(", ", ", ") + ")";
            }
            break;
        case 'o':
            options->strOutputPath = value;
            if (options->strOutputPath.empty()) {
                *problem = "the output file name is empty";
            }
            break;
        case 'd':
            options->vDeviceNames.emplace_back(value);
            break;
        case 't':
            if (!ParseSeconds(value, kMinTimeoutSeconds, kMaxTimeoutSeconds,
                              &options->iTimeoutSeconds)) {
                *problem = "the timeout '" + std::string(value) +
                           "' is not a whole number of seconds from 1 to 3600";
            }
            break;
        case kTotalTimeoutOption:
            ApplyTotalTimeout(value, options, problem);
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

bool ParseStatusOptions(int argc, char** argv, status_options* options, std::string* error) {
    optind = 0;  // a fresh scan, also when called more than once in a process
    opterr = 0;
    std::vector<std::string> problems;
    int option = 0;
    // After a problem the scan goes on, so that a later -f still decides how it is reported; the
    // first problem is the one reported.
    while ((option = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr)) != -1) {
        std::string problem;
        if (option == '?') {
            problem = "unknown option '" + OptionWord(argv, false) + "'";
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
    *error = problems.empty() ? "" : problems.front();
    return problems.empty();
}

int TotalTimeoutSeconds(const status_options& options) {
    return options.iTotalTimeoutSeconds >= 0 ? options.iTotalTimeoutSeconds
                                             : options.pFormat->iDefaultTotalTimeout;
}

std::string StatusHelpText() {
    return "Usage: orvexconsumables-status [-f " + FormatNames("|", "|") +
           R"(] [-o FILE] [-d NAME]...
                               [-t SECONDS] [--total-timeout SECONDS] [-h] [-V]
Reports the consumables and settings of the attached scanners without changing them.

  -f, --format FORMAT      )" +
           FormatNames(", ", " or ", " (default)") + R"(
  -o, --output FILE        replace FILE atomically instead of writing to standard output
  -d, --device-name NAME   only this scanner (repeatable)
  -t, --timeout SECONDS    deadline for the enumeration and for each scanner
                           (1 to 3600, default 10)
      --total-timeout SECONDS
                           deadline for the whole run, after which the scanners
                           not read are timeout (0 to )" +
           std::to_string(kMaxTotalTimeoutSeconds) + R"(, 0 for none;
                           default )" +
           TotalTimeoutDefaults() + R"()
  -h, --help               show this help
  -V, --version            show the version

Exit status with json and prometheus: 0 everything read; 2 written, but the libraries, the
enumeration or a scanner could not be read; 1 the output could not be written; 3 usage error.
With nagios: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.
)";
}
