// Tests of the UTF-8 repair of texts from the libraries and the command line.
#include "fleet/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(ValidUtf8, KeepsValidTextAndReplacesEachInvalidSequence) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"quote \" backslash \\ line\nend\ttab", "quote \" backslash \\ line\nend\ttab"},
        {"Gr\xc3\xbc\xc3\x9f"
         "e \xe2\x82\xac",
         "Gr\xc3\xbc\xc3\x9f"
         "e \xe2\x82\xac"},
        {"\xfe\xff", "\xef\xbf\xbd\xef\xbf\xbd"},
        {"cut \xe2\x82", "cut \xef\xbf\xbd"},
        {"latin-1 \xe9t\xe9", "latin-1 \xef\xbf\xbdt\xef\xbf\xbd"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ValidUtf8(text), expected) << testing::PrintToString(text);
    }
}

}  // namespace
