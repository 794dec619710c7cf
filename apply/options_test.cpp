// Tests of the command line: every option, its checks, and the error messages.
#include "apply/options.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/process.h"

namespace {

// The options on one line, every field named, or the error.
std::string Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "orvexconsumables-apply");
    apply_options options;
    std::string error;
    if (!ParseApplyOptions(static_cast<int>(args.size()), ArgumentVector(args).data(), &options,
                           &error)) {
        return "error: " + error;
    }
    std::string devices;
    for (const std::string& name : options.vDeviceNames) {
        devices += (devices.empty() ? "" : ",") + name;
    }
    return std::string("check=") + (options.bCheck ? "yes" : "no") +
           " policy=" + options.strPolicyPath + " devices=" + devices +
           " timeout=" + std::to_string(options.iTimeoutSeconds) +
           " jobs=" + std::to_string(options.iJobs) + " format=" + options.pFormat->cpName +
           " help=" + (options.bHelp ? "yes" : "no") +
           " version=" + (options.bVersion ? "yes" : "no");
}

TEST(ApplyOptions, ReadsEveryOptionAndRefusesWhatDoesNotFit) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{}, "check=no policy= devices= timeout=10 jobs=1 format=text help=no version=no"},
        {{"--check", "-p", "site.toml", "-d", "a", "--device-name=b:c", "-t", "1", "-j", "64", "-f",
          "json"},
         "check=yes policy=site.toml devices=a,b:c timeout=1 jobs=64 format=json help=no "
         "version=no"},
        {{"--policy", "p", "--timeout=3600", "--jobs", "1", "--format=text", "-h", "-V"},
         "check=no policy=p devices= timeout=3600 jobs=1 format=text help=yes version=yes"},
        {{"-t", "0"}, "error: the timeout '0' is not a whole number from 1 to 3600"},
        {{"-t", "3601"}, "error: the timeout '3601' is not a whole number from 1 to 3600"},
        {{"-t", "+5"}, "error: the timeout '+5' is not a whole number from 1 to 3600"},
        {{"-j", "2x"}, "error: the number of jobs '2x' is not a whole number from 1 to 64"},
        {{"-j", "99999999999999999999"},
         "error: the number of jobs '99999999999999999999' is not a whole number from 1 to 64"},
        {{"-f", "yaml"}, "error: unknown format 'yaml' (text, json)"},
        {{"-p", ""}, "error: the policy file name is empty"},
        {{"-c"}, "error: unknown option '-c'"},
        {{"--chek"}, "error: unknown option '--chek'"},
        {{"--check=yes"}, "error: option '--check' takes no value"},
        {{"-p"}, "error: option '-p' needs a value"},
        {{"--jobs"}, "error: option '--jobs' needs a value"},
        {{"-t", "x", "-j", "0"}, "error: the timeout 'x' is not a whole number from 1 to 3600"},
        {{"extra", "--check"}, "error: unexpected argument 'extra'"},
    };
    for (const auto& [args, expected] : rows) {
        EXPECT_EQ(Parse(args), expected) << testing::PrintToString(args);
    }
}

}  // namespace
