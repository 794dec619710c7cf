// Tests of the command line: every option, its checks, and the error messages.
#include "status/options.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/process.h"

namespace {

// What a command line leaves in the options, as one line per option that differs from the
// defaults, so that a row names only what it changes.
std::vector<std::string> Changed(const status_options& o) {
    const status_options d;
    std::vector<std::string> changed;
    auto add = [&](bool differs, const std::string& text) {
        if (differs) {
            changed.push_back(text);
        }
    };
    add(o.pFormat != d.pFormat, std::string("format ") + o.pFormat->cpName);
    add(o.strOutputPath != d.strOutputPath, "output " + o.strOutputPath);
    add(o.vDeviceNames != d.vDeviceNames, "names " + testing::PrintToString(o.vDeviceNames));
    add(o.iTimeoutSeconds != d.iTimeoutSeconds, "timeout " + std::to_string(o.iTimeoutSeconds));
    // The whole run's deadline: the one given (0 for none), else the format's own.
    add(TotalTimeoutSeconds(o) != 0, "total " + std::to_string(TotalTimeoutSeconds(o)));
    add(o.bHelp, "help");
    add(o.bVersion, "version");
    add(o.iJobs != d.iJobs, "jobs " + std::to_string(o.iJobs));
    add(o.strPolicyPath != d.strPolicyPath, "policy " + o.strPolicyPath);
    add(o.strStateDir != d.strStateDir, "state " + o.strStateDir);
    add(o.bNoState, "no state");
    add(o.iWarningPercent != d.iWarningPercent, "warning " + std::to_string(o.iWarningPercent));
    add(o.iCriticalPercent != d.iCriticalPercent, "critical " + std::to_string(o.iCriticalPercent));
    return changed;
}

struct OptionsCase {
    std::vector<std::string> args;
    std::vector<std::string> changed;  // Changed() of the options read
    std::string error;                 // empty: accepted
};

// Reads the arguments after the program's name.
bool Parse(const std::vector<std::string>& args, status_options* options, std::string* error) {
    std::vector<std::string> words = {"orvexconsumables-status"};
    words.insert(words.end(), args.begin(), args.end());
    return ParseStatusOptions(static_cast<int>(words.size()), ArgumentVector(words).data(), options,
                              error);
}

TEST(StatusOptions, ReadsEveryOptionAndRefusesWhatDoesNotFit) {
    const std::string timeout = "' is not a whole number of seconds from 1 to 3600";
    const std::string total = "' is not a whole number of seconds from 0 to 86400";
    const std::vector<OptionsCase> cases = {
        {{}, {}, ""},
        {{"-f", "prometheus", "-o", "out.prom"}, {"format prometheus", "output out.prom"}, ""},
        {{"--format=nagios", "--output", "x"}, {"format nagios", "output x", "total 50"}, ""},
        {{"-f", "table"}, {"format table"}, ""},
        {{"-d", "a", "--device-name", "b:c", "-d", ""}, {"names { \"a\", \"b:c\", \"\" }"}, ""},
        {{"-t", "1"}, {"timeout 1"}, ""},
        {{"--timeout=3600"}, {"timeout 3600"}, ""},
        {{"--total-timeout", "20", "-f", "nagios"}, {"format nagios", "total 20"}, ""},
        {{"-f", "nagios", "--total-timeout=0"}, {"format nagios"}, ""},
        {{"--total-timeout", "86400"}, {"total 86400"}, ""},
        {{"-h", "--version"}, {"help", "version"}, ""},
        {{"-j", "64", "-p", "site.toml"}, {"jobs 64", "policy site.toml"}, ""},
        {{"--jobs=1", "--policy=p"}, {"policy p"}, ""},
        // The later of the two state options counts.
        {{"--no-state", "--state-dir=s"}, {"state s"}, ""},
        {{"--state-dir=s", "--no-state"}, {"state s", "no state"}, ""},
        {{"-w", "30", "--critical", "5"}, {"warning 30", "critical 5"}, ""},
        {{"--warning=0", "-c", "100"}, {"warning 0", "critical 100"}, ""},
        {{"-t", "0"}, {}, "the timeout '0" + timeout},
        {{"-t", "3601"}, {}, "the timeout '3601" + timeout},
        {{"-t", "+5"}, {}, "the timeout '+5" + timeout},
        {{"-t", "5s"}, {}, "the timeout '5s" + timeout},
        {{"-t", "99999999999999999999"}, {}, "the timeout '99999999999999999999" + timeout},
        {{"--total-timeout", "86401"}, {}, "the total timeout '86401" + total},
        {{"--jobs", " 2"}, {}, "the number of jobs ' 2' is not a whole number from 1 to 64"},
        {{"-w", "101"}, {}, "the warning threshold '101' is not a whole percentage from 0 to 100"},
        {{"-c", "2.5"}, {}, "the critical threshold '2.5' is not a whole percentage from 0 to 100"},
        {{"-p", ""}, {}, "the policy file name is empty"},
        {{"--state-dir="}, {}, "the state folder name is empty"},
        {{"-f", "xml"}, {}, "unknown format 'xml' (json, prometheus, nagios, table)"},
        {{"-o", ""}, {}, "the output file name is empty"},
        {{"-x"}, {}, "unknown option '-x'"},
        {{"--bogus=1"}, {}, "unknown option '--bogus'"},
        {{"--no-state=1"}, {}, "option '--no-state' takes no value"},
        // Which options take a value the accepted rows show; the messages once each.
        {{"-t"}, {}, "option '-t' needs a value"},
        {{"--format"}, {}, "option '--format' needs a value"},
        {{"extra"}, {}, "unexpected argument 'extra'"},
        // The first problem is reported, and a later format still counts.
        {{"-x", "-t", "0", "-f", "nagios"}, {"format nagios", "total 50"}, "unknown option '-x'"},
    };
    for (const OptionsCase& c : cases) {
        status_options options;
        std::string error;
        bool accepted = Parse(c.args, &options, &error);
        std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(accepted, c.error.empty()) << what;
        EXPECT_EQ(error, c.error) << what;
        EXPECT_EQ(Changed(options), c.changed) << what;
    }
}

}  // namespace
