// Fuzz target: the launcher-profile reader on fuzzed file contents, against a plain in-memory
// reading of the same token rules. The first bytes of the input pick the section, the key, the
// default and a filler that moves the contents across the reader's block boundary.
#include <fuzzer/FuzzedDataProvider.h>
#include <strings.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capability/profile.h"
#include "fuzz/fuzz_support.h"

namespace {

const char* const kSections[] = {"ko-230", "Ko-150", "ko-550", "KO-330"};
const char* const kKeys[] = {"DEVSET_PREPICK", "DEVSET_AUTOCROP", "DEVSET_ALARM",
                             "DEVSET_COLOER_DETECTION"};

std::string g_profilePath;  // the temporary profile, rewritten for every input
int g_profileFd = -1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The tokens of the contents, each cut to the reader's longest token.
std::vector<std::string> Tokens(const std::string& contents) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < contents.size()) {
        while (i < contents.size() && IsBlank(contents[i])) {
            ++i;
        }
        size_t start = i;
        while (i < contents.size() && !IsBlank(contents[i])) {
            ++i;
        }
        if (i > start) {
            tokens.push_back(contents.substr(start, std::min(i - start, kProfileTokenMax)));
        }
    }
    return tokens;
}

// The whole token equals the text, ignoring letter case (a NUL byte in a token is no end).
bool IsWholeToken(const std::string& token, const char* text) {
    return token.size() == std::strlen(text) && strncasecmp(token.data(), text, token.size()) == 0;
}

// Every occurrence of the section starts a search for the first token beginning with the key;
// the last valid value found wins.
int ExpectedValue(const std::string& contents, const char* section, const char* key, int value) {
    std::vector<std::string> tokens = Tokens(contents);
    size_t keyLength = std::strlen(key);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!IsWholeToken(tokens[i], section)) {
            continue;
        }
        while (++i < tokens.size() && !(tokens[i].size() >= keyLength &&
                                        strncasecmp(tokens[i].c_str(), key, keyLength) == 0)) {
        }
        if (i == tokens.size()) {
            break;
        }
        char c = tokens[i].c_str()[keyLength];
        if (c == '0' || c == '1') {
            value = c - '0';
        }
    }
    return value;
}

std::string PickText(FuzzedDataProvider& in, const char* const* choices, size_t count) {
    size_t choice = in.ConsumeIntegralInRange<size_t>(0, count);
    return choice < count ? std::string(choices[choice]) : in.ConsumeRandomLengthString(40);
}

// Nothing, blanks, or one long token, ending a little before or after the first block's end.
std::string Filler(FuzzedDataProvider& in) {
    int kind = in.ConsumeIntegralInRange(0, 3);
    size_t length = kProfileBlockSize - 300 + in.ConsumeIntegralInRange<size_t>(0, 600);
    if (kind == 1) {
        return std::string(length, ' ');
    }
    if (kind == 2) {
        return std::string(length, 'x');
    }
    return std::string();
}

void WriteProfile(const std::string& contents) {
    bool written = ftruncate(g_profileFd, 0) == 0 &&
                   pwrite(g_profileFd, contents.data(), contents.size(), 0) ==
                       static_cast<ssize_t>(contents.size());
    FuzzCheck(written, "the temporary profile can be written");
}

void RemoveProfile() {
    unlink(g_profilePath.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* directory = std::getenv("TMPDIR");
    g_profilePath = std::string(directory != nullptr ? directory : "/tmp") + "/orvex-fuzz-XXXXXX";
    g_profileFd = mkstemp(&g_profilePath[0]);
    FuzzCheck(g_profileFd >= 0, "a temporary profile can be created");
    std::atexit(RemoveProfile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string section = PickText(in, kSections, 4);
    std::string key = PickText(in, kKeys, 4);
    int choice = in.ConsumeIntegralInRange(0, 2);
    int defaultValue = choice < 2 ? choice : in.ConsumeIntegral<int>();
    std::string contents = Filler(in) + in.ConsumeRemainingBytesAsString();
    WriteProfile(contents);
    ForgetProfiles();  // the same file holds new contents for every input
    int result =
        GetPrivateProfileInt(section.c_str(), key.c_str(), defaultValue, g_profilePath.c_str());
    FuzzCheck(result == 0 || result == 1 || result == defaultValue,
              "the profile yields 0, 1 or the default");
    FuzzCheck(result == ExpectedValue(contents, section.c_str(), key.c_str(), defaultValue),
              "the profile reader follows the token rules");
    return 0;
}
