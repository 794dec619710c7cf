// Reading the command line with getopt_long; every value is checked whole.
#include "status/options.h"

#include <vector>

#include "fleet/command_line.h"
#include "fleet/fleet_paths.h"

namespace {

const char kShortOptions[] = ":f:o:d:t:hVj:p:w:c:";

// The codes of the options that have no letter.
enum : int {
    kOptionStateDir = 0x100,
    kOptionNoState,
    kOptionTotalTimeout,
};

const option kLongOptions[] = {
    {"format", required_argument, nullptr, 'f'},
    {"output", required_argument, nullptr, 'o'},
    {"device-name", required_argument, nullptr, 'd'},
    {"timeout", required_argument, nullptr, 't'},
    {"total-timeout", required_argument, nullptr, kOptionTotalTimeout},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"jobs", required_argument, nullptr, 'j'},
    {"policy", required_argument, nullptr, 'p'},
    {"state-dir", required_argument, nullptr, kOptionStateDir},
    {"no-state", no_argument, nullptr, kOptionNoState},
    {"warning", required_argument, nullptr, 'w'},
    {"critical", required_argument, nullptr, 'c'},
    {nullptr, 0, nullptr, 0},
};

// The formats that exit with the reading's status ("json, prometheus and table").
std::string ReadingFormatNames() {
    std::vector<const char*> names;
    for (const output_format& row : kOutputFormats) {
        if (row.pExitStatus == ReadingExitStatus) {
            names.push_back(row.cpName);
        }
    }
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 < names.size() ? ", " : " and ") + std::string(names[i]);
    }
    return text;
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

// A path option's value, which may not be empty.
void SetPath(const char* value, const char* what, std::string* path, std::string* problem) {
    *path = value;
    if (path->empty()) {
        *problem = std::string("the ") + what + " name is empty";
    }
}

std::string NotAPercentage(const char* what, const char* value) {
    return std::string("the ") + what + " threshold '" + value +
           "' is not a whole percentage from 0 to 100";
}

// Applies one option with its value; a value that does not fit leaves a description in *problem.
void ApplyOption(int option, const char* value, status_options* options, std::string* problem) {
    switch (option) {
        case 'f':
            ChooseFormat(kOutputFormats, value, &options->pFormat, problem);
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
            if (!ParseWholeNumber(value, kMinTimeoutSeconds, kMaxTimeoutSeconds,
                                  &options->iTimeoutSeconds)) {
                *problem = "the timeout '" + std::string(value) +
                           "' is not a whole number of seconds from 1 to 3600";
            }
            break;
        case kOptionTotalTimeout:
            if (!ParseWholeNumber(value, 0, kMaxTotalTimeoutSeconds,
                                  &options->iTotalTimeoutSeconds)) {
                *problem = "the total timeout '" + std::string(value) +
                           "' is not a whole number of seconds from 0 to " +
                           std::to_string(kMaxTotalTimeoutSeconds);
            }
            break;
        case 'h':
            options->bHelp = true;
            break;
        case 'V':
            options->bVersion = true;
            break;
        case 'j':
            if (!ParseWholeNumber(value, kMinJobs, kMaxJobs, &options->iJobs)) {
                *problem = "the number of jobs '" + std::string(value) +
                           "' is not a whole number from 1 to 64";
            }
            break;
        case 'p':
            SetPath(value, "policy file", &options->strPolicyPath, problem);
            break;
        case kOptionStateDir:
            SetPath(value, "state folder", &options->strStateDir, problem);
            options->bNoState = false;  // the later of the two state options counts
            break;
        case kOptionNoState:
            options->bNoState = true;
            break;
        case 'w':
            if (!ParseWholeNumber(value, 0, 100, &options->iWarningPercent)) {
                *problem = NotAPercentage("warning", value);
            }
            break;
        case 'c':
            if (!ParseWholeNumber(value, 0, 100, &options->iCriticalPercent)) {
                *problem = NotAPercentage("critical", value);
            }
            break;
    }
}

}  // namespace

bool ParseStatusOptions(int argc, char** argv, status_options* options, std::string* error) {
    auto handle = [options](int code, const char* value, std::string* problem) {
        ApplyOption(code, value, options, problem);
    };
    // The scan goes on after a problem, so that a later -f still decides how it is reported.
    *error = ScanCommandLine(argc, argv, kShortOptions, kLongOptions, handle);
    return error->empty();
}

int TotalTimeoutSeconds(const status_options& options) {
    return options.iTotalTimeoutSeconds >= 0 ? options.iTotalTimeoutSeconds
                                             : options.pFormat->iDefaultTotalTimeout;
}

std::string StatusHelpText() {
    return "Usage: orvexconsumables-status [-f " + FormatNames(kOutputFormats, "|", "|") +
           R"(] [-o FILE]
                               [-d NAME]... [-t SECONDS] [--total-timeout SECONDS]
                               [-j JOBS] [-p FILE] [--state-dir DIR] [--no-state]
                               [-w PERCENT] [-c PERCENT] [-h] [-V]
Reports the consumables and settings of the attached scanners without changing them.

  -f, --format FORMAT      )" +
           FormatNames(kOutputFormats, ", ", " or ", " (default)") + R"(
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
  -j, --jobs JOBS          scanners read at once (1 to 64, default 1)
  -p, --policy FILE        the site's wanted settings and consumables' life; default,
                           if it exists: )" +
           g_cpDefaultPolicyPath + R"(
      --state-dir DIR      the folder of each scanner's last reading; default
                           )" +
           g_cpDefaultStateDir + R"(
      --no-state           neither use nor keep the last readings
  -w, --warning PERCENT    nagios: WARNING at or below this share of a life left
                           (0 to 100, default 10)
  -c, --critical PERCENT   nagios: CRITICAL likewise (0 to 100, default 0)
  -h, --help               show this help
  -V, --version            show the version

Exit status with )" +
           ReadingFormatNames() + R"(: 0 everything read; 2 written, but the
libraries, the enumeration or a scanner could not be read; 1 the output could not be
written; 3 usage error, or a policy file that is not valid.
With nagios: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.
)";
}
