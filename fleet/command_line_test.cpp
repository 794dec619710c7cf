// Tests of the fleet front ends' command-line scan: what reaches the handler and each message.
#include "fleet/command_line.h"

#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace {

const option kLongOptions[] = {
    {"no-state", no_argument, nullptr, 0x100},
    {"policy", required_argument, nullptr, 'p'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The options handed over, as "code=value" words, and the first problem; the scan goes on after
// it.
TEST(CommandLine, HandsOverEachOptionAndNamesTheFirstProblemAsWritten) {
    struct scan_case {
        std::vector<std::string> args;
        std::string handed;
        std::string problem;
    };
    const std::vector<scan_case> cases = {
        {{"-p", "a", "--no-state", "--pol=b", "-V"}, "p=a 256 p=b V", ""},
        {{"-x", "-V"}, "V", "unknown option '-x'"},
        {{"--bogus=1"}, "", "unknown option '--bogus'"},
        {{"--no-st=1"}, "", "option '--no-st' takes no value"},
        {{"--version=2"}, "", "option '--version' takes no value"},
        // A short option refused inside its cluster is named by its letter, whatever the word
        // before it.
        {{"--policy=a", "-xV"}, "p=a V", "unknown option '-x'"},
        {{"--no-state", "-xV"}, "256 V", "unknown option '-x'"},
        {{"-Vp"}, "V", "option '-p' needs a value"},
        {{"--policy"}, "", "option '--policy' needs a value"},
        {{"-p", "", "word"}, "p=", "empty"},
        {{"word", "-V"}, "V", "unexpected argument 'word'"},
    };
    for (const scan_case& c : cases) {
        std::vector<std::string> words = {"program"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::string handed;
        auto handle = [&handed](int code, const char* value, std::string* problem) {
            handed +=
                (handed.empty() ? "" : " ") +
                (code < 0x100 ? std::string(1, static_cast<char>(code)) : std::to_string(code)) +
                (value != nullptr ? std::string("=") + value : "");
            if (value != nullptr && *value == '\0') {
                *problem = "empty";
            }
        };
        std::string problem =
            ScanCommandLine(static_cast<int>(words.size()), ArgumentVector(words).data(), ":p:V",
                            kLongOptions, handle);
        EXPECT_EQ(handed, c.handed) << testing::PrintToString(c.args);
        EXPECT_EQ(problem, c.problem) << testing::PrintToString(c.args);
    }
}

}  // namespace
