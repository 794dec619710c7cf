// Tests of the command line: every option, its checks, and the error messages.
#include "status/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct OptionsCase {
    std::vector<std::string> args;
    std::string format;  // the name of the format chosen
    std::string output;
    std::vector<std::string> names;
    int timeout;
    bool help;
    bool version;
    std::string error;  // empty: accepted
};

// Reads the arguments after the program's name.
bool Parse(const std::vector<std::string>& args, status_options* options, std::string* error) {
    std::vector<std::string> words = {"orvexconsumables-status"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return ParseStatusOptions(static_cast<int>(words.size()), argv.data(), options, error);
}

TEST(StatusOptions, ReadsEveryOptionAndRefusesWhatDoesNotFit) {
    const std::string json = "json";
    const std::vector<OptionsCase> cases = {
        {{}, json, "", {}, 10, false, false, ""},
        {{"-f", "prometheus", "-o", "out.prom"},
         "prometheus",
         "out.prom",
         {},
         10,
         false,
         false,
         ""},
        {{"--format=nagios", "--output", "x"}, "nagios", "x", {}, 10, false, false, ""},
        {{"-d", "a", "--device-name", "b:c", "-d", ""},
         json,
         "",
         {"a", "b:c", ""},
         10,
         false,
         false,
         ""},
        {{"-t", "1"}, json, "", {}, 1, false, false, ""},
        {{"--timeout=3600"}, json, "", {}, 3600, false, false, ""},
        {{"-h"}, json, "", {}, 10, true, false, ""},
        {{"--version"}, json, "", {}, 10, false, true, ""},
        {{"-t", "0"},
         json,
         "",
         {},
         10,
         false,
         false,
         "the timeout '0' is not a whole number of seconds from 1 to 3600"},
        {{"-t", "3601"},
         json,
         "",
         {},
         10,
         false,
         false,
         "the timeout '3601' is not a whole number of seconds from 1 to 3600"},
        {{"-t", "+5"},
         json,
         "",
         {},
         10,
         false,
         false,
         "the timeout '+5' is not a whole number of seconds from 1 to 3600"},
        {{"-t", "5s"},
         json,
         "",
         {},
         10,
         false,
         false,
         "the timeout '5s' is not a whole number of seconds from 1 to 3600"},
        {{"-t", "99999999999999999999"},
         json,
         "",
         {},
         10,
         false,
         false,
         "the timeout '99999999999999999999' is not a whole number of seconds from 1 to 3600"},
        {{"-f", "xml"},
         json,
         "",
         {},
         10,
         false,
         false,
         "unknown format 'xml' (json, prometheus, nagios)"},
        {{"-o", ""}, json, "", {}, 10, false, false, "the output file name is empty"},
        {{"-x"}, json, "", {}, 10, false, false, "unknown option '-x'"},
        {{"--bogus=1"}, json, "", {}, 10, false, false, "unknown option '--bogus'"},
        {{"-t"}, json, "", {}, 10, false, false, "option '-t' needs a value"},
        {{"--format"}, json, "", {}, 10, false, false, "option '--format' needs a value"},
        {{"extra"}, json, "", {}, 10, false, false, "unexpected argument 'extra'"},
        // The first problem is reported, and a later format still counts.
        {{"-x", "-t", "0", "-f", "nagios"},
         "nagios",
         "",
         {},
         10,
         false,
         false,
         "unknown option '-x'"},
    };
    for (const OptionsCase& c : cases) {
        status_options options;
        std::string error;
        bool accepted = Parse(c.args, &options, &error);
        std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(accepted, c.error.empty()) << what;
        EXPECT_EQ(error, c.error) << what;
        EXPECT_EQ(options.pFormat->cpName, c.format) << what;
        EXPECT_EQ(options.strOutputPath, c.output) << what;
        EXPECT_EQ(options.vDeviceNames, c.names) << what;
        EXPECT_EQ(options.iTimeoutSeconds, c.timeout) << what;
        EXPECT_EQ(options.bHelp, c.help) << what;
        EXPECT_EQ(options.bVersion, c.version) << what;
    }
}

// The whole run's deadline: the one given (0 for none), else the format's own.
TEST(StatusOptions, TotalTimeoutIsTheOneGivenOrTheFormats) {
    struct TotalCase {
        std::vector<std::string> args;
        int seconds;        // TotalTimeoutSeconds
        std::string error;  // empty: accepted
    };
    const std::string refused = "' is not a whole number of seconds from 0 to 86400";
    const std::vector<TotalCase> cases = {
        {{}, 0, ""},
        {{"-f", "prometheus"}, 0, ""},
        {{"-f", "nagios"}, 50, ""},
        {{"--total-timeout", "20", "-f", "nagios"}, 20, ""},
        {{"-f", "nagios", "--total-timeout=0"}, 0, ""},
        {{"--total-timeout", "86400"}, 86400, ""},
        {{"--total-timeout", "86401"}, 0, "the total timeout '86401" + refused},
        {{"--total-timeout", "-1"}, 0, "the total timeout '-1" + refused},
        {{"--total-timeout", ""}, 0, "the total timeout '" + refused},
        {{"--total-timeout"}, 0, "option '--total-timeout' needs a value"},
    };
    for (const TotalCase& c : cases) {
        status_options options;
        std::string error;
        EXPECT_EQ(Parse(c.args, &options, &error), c.error.empty())
            << testing::PrintToString(c.args);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(TotalTimeoutSeconds(options), c.seconds) << testing::PrintToString(c.args);
    }
}

}  // namespace
