// Message lines: both forms of ShowErrMsg and composition without limits.
#include "cli/messages.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/process.h"

namespace {

std::string Printed(const char* format, const char* message) {
    return RunInChild([&] { ShowErrMsg(format, message); }).out;
}

TEST(ShowErrMsg, PrintsOneLineWithTheProgramName) {
    struct Row {
        const char* format;
        const char* message;
        std::string expected;
    };
    const Row rows[] = {
        {nullptr, "Set successfully", "orvexconsumables: Set successfully\n"},
        {nullptr, "100% done %s %d", "orvexconsumables: 100% done %s %d\n"},
        {"unrecognized option '%s'", "--colour",
         "orvexconsumables: unrecognized option '--colour'\n"},
        {"setting of option %s failed(Invalid argument)", "--sleeptimer",
         "orvexconsumables: setting of option --sleeptimer failed(Invalid argument)\n"},
        {"unrecognized option '%s'", "--%s%n%d",
         "orvexconsumables: unrecognized option '--%s%n%d'\n"},
        {nullptr, "a\nb \nc", "orvexconsumables: a\nb \nc\n"},
        {nullptr, nullptr, ""},
        {"unrecognized option '%s'", nullptr, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Printed(row.format, row.message), row.expected)
            << (row.message ? row.message : "(null)");
    }
}

TEST(ShowErrMsg, PrintsAWordOfAnyLengthWhole) {
    std::string word = "--" + std::string(5000, 'x');
    EXPECT_EQ(Printed("unrecognized option '%s'", word.c_str()),
              "orvexconsumables: unrecognized option '" + word + "'\n");
}

TEST(FormatMessage, ComposesWithoutALimit) {
    std::string word(3000, 'w');
    EXPECT_EQ(FormatMessage("rounded value of %s from %d to %d", word.c_str(), 7, 5),
              "rounded value of " + word + " from 7 to 5");
    EXPECT_EQ(FormatMessage("%s", ""), "");
}

}  // namespace
