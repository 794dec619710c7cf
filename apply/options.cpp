// Reading the command line with getopt_long; every value is checked whole.
#include "apply/options.h"

#include "fleet/command_line.h"
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

// A whole decimal number within the range, digits only; a description in *problem otherwise.
void ParseWhole(const char* text, const whole_range& range, int* value, std::string* problem) {
    if (!ParseWholeNumber(text, range.iLow, range.iHigh, value)) {
        *problem = std::string(range.cpWhat) + " '" + text + "' is not a whole number from " +
                   std::to_string(range.iLow) + " to " + std::to_string(range.iHigh);
    }
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
            ChooseFormat(kApplyFormats, value, &options->pFormat, problem);
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
    auto handle = [options](int code, const char* value, std::string* problem) {
        ApplyOption(code, value, options, problem);
    };
    *error = ScanCommandLine(argc, argv, kShortOptions, kLongOptions, handle);
    return error->empty();
}

std::string ApplyHelpText() {
    return "Usage: orvexconsumables-apply [--check] [-p POLICY] [-d NAME]... [-t SECONDS]\n"
           "                              [-j JOBS] [-f " +
           FormatNames(kApplyFormats, "|", "|") + R"(] [-h] [-V]
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
           FormatNames(kApplyFormats, ", ", " or ", " (default)") + R"(
  -h, --help               show this help
  -V, --version            show the version

Exit status: 0 every scanner complies with the policy (changed or not); 2 --check found a
difference; 4 a scanner could not be read or changed, or the enumeration failed; 1 the output
could not be written; 3 usage or policy error.
)";
}
