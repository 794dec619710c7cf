// Tests of the launcher profile reader: token rules, section restarts, long tokens, block edges,
// files that are no profile, and reading each file once.
#include "capability/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/files.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void TearDown() override { ForgetProfiles(); }
    // The profile is kept in memory once read, so each rewrite is followed by forgetting it.
    int Lookup(const std::string& text, const char* section, const char* key, int defaultValue) {
        WriteWholeFile(path_, text);
        ForgetProfiles();
        return GetPrivateProfileInt(section, key, defaultValue, path_.c_str());
    }

    TempDir folder_;
    std::string dir_ = folder_.path();
    std::string path_ = dir_ + "/zevlaunch.conf";
};

struct LookupCase {
    const char* cpWhat;
    std::string text;
    const char* cpSection;
    const char* cpKey;
    int iDefault;
    int iExpected;
};

TEST_F(ProfileTest, TokenRules) {
    const LookupCase cases[] = {
        {"value 1", "ko-230\nDEVSET_PREPICK1\n", "ko-230", "DEVSET_PREPICK", 0, 1},
        {"value 0", "ko-230\nDEVSET_PREPICK0\n", "ko-230", "DEVSET_PREPICK", 1, 0},
        {"key in lower case", "ko-230 devset_prepick0", "ko-230", "DEVSET_PREPICK", 1, 0},
        {"lower-case key asked", "ko-230 DEVSET_PREPICK0", "ko-230", "devset_prepick", 1, 0},
        {"section in upper case", "KO-230 DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 0},
        {"section asked in other case", "ko-150 DEVSET_ALARM0", "Ko-150", "DEVSET_ALARM", 1, 0},
        {"= carries no value", "ko-230 DEVSET_PREPICK=1", "ko-230", "DEVSET_PREPICK", 0, 0},
        {"= carries no value, default 1", "ko-230 DEVSET_PREPICK=0", "ko-230", "DEVSET_PREPICK", 1,
         1},
        {"value as separate token", "ko-230 DEVSET_PREPICK 1", "ko-230", "DEVSET_PREPICK", 0, 0},
        {"value as separate token, default 1", "ko-230 DEVSET_PREPICK 0", "ko-230",
         "DEVSET_PREPICK", 1, 1},
        {"bracketed section", "[ko-230] DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"longer section token", "ko-230W DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"section inside a token", "xko-230 DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"characters after the value", "ko-230 DEVSET_PREPICK1xyz", "ko-230", "DEVSET_PREPICK", 0,
         1},
        {"other value character", "ko-230 DEVSET_PREPICK2", "ko-230", "DEVSET_PREPICK", 0, 0},
        {"key before the section", "DEVSET_PREPICK0 ko-230", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"section without the key", "ko-230 DEVSET_ALARM0", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"no such section", "ko-330 DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 1},
        {"tabs and CRLF", "\tko-230\r\n\tDEVSET_PREPICK0\r\n", "ko-230", "DEVSET_PREPICK", 1, 0},
        {"no final newline", "ko-230 DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1, 0},
        {"other keys first", "ko-230 DEVSET_ALARM1 DEVSET_STACKER1 DEVSET_PREPICK0", "ko-230",
         "DEVSET_PREPICK", 1, 0},
        {"section twice in a row", "ko-230 ko-230 DEVSET_PREPICK0", "ko-230", "DEVSET_PREPICK", 1,
         0},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(Lookup(c.text, c.cpSection, c.cpKey, c.iDefault), c.iExpected) << c.cpWhat;
    }
}

TEST_F(ProfileTest, SearchAcrossSectionsAndRepeats) {
    const LookupCase cases[] = {
        // The first token that starts with the key is taken, even a longer key's entry; the
        // section search then resumes after it.
        {"key-prefix trap", "ko-230 DEVSET_AUTOCROP_FRAME1 DEVSET_AUTOCROP0", "ko-230",
         "DEVSET_AUTOCROP", 1, 1},
        {"key-prefix trap, default 0", "ko-230 DEVSET_AUTOCROP_FRAME1 DEVSET_AUTOCROP1", "ko-230",
         "DEVSET_AUTOCROP", 0, 0},
        {"longer key found", "ko-230 DEVSET_AUTOCROP0 DEVSET_AUTOCROP_FRAME0", "ko-230",
         "DEVSET_AUTOCROP_FRAME", 1, 0},
        // The key search is not bounded by the section.
        {"key in a later section", "ko-230 DEVSET_PREPICK1\nko-330 DEVSET_ALARM0\n", "ko-230",
         "DEVSET_ALARM", 1, 0},
        {"repeated section, later value wins",
         "ko-230 DEVSET_ALARM0\nko-330 DEVSET_ALARM0\nko-230 DEVSET_ALARM1\n", "ko-230",
         "DEVSET_ALARM", 0, 1},
        {"repeated section, later invalid value", "ko-230 DEVSET_ALARM0\nko-230 DEVSET_ALARM9\n",
         "ko-230", "DEVSET_ALARM", 1, 0},
        {"repeated section, later = value", "ko-230 DEVSET_ALARM1\nko-230 DEVSET_ALARM=0\n",
         "ko-230", "DEVSET_ALARM", 0, 1},
        {"repeated section, later without key", "ko-230 DEVSET_ALARM0\nko-230 DEVSET_STACKER1\n",
         "ko-230", "DEVSET_ALARM", 1, 0},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(Lookup(c.text, c.cpSection, c.cpKey, c.iDefault), c.iExpected) << c.cpWhat;
    }
}

TEST_F(ProfileTest, EmptyMissingAndUnreadableFilesGiveTheDefault) {
    for (int defaultValue : {0, 1, 7}) {
        EXPECT_EQ(Lookup("", "ko-230", "DEVSET_ALARM", defaultValue), defaultValue);
        EXPECT_EQ(Lookup(" \n\t\r\n  \n", "ko-230", "DEVSET_ALARM", defaultValue), defaultValue);
        std::string missing = dir_ + "/missing.conf";
        EXPECT_EQ(GetPrivateProfileInt("ko-230", "DEVSET_ALARM", defaultValue, missing.c_str()),
                  defaultValue);
        // A directory opens but cannot be read: the read error ends the scan.
        EXPECT_EQ(GetPrivateProfileInt("ko-230", "DEVSET_ALARM", defaultValue, dir_.c_str()),
                  defaultValue);
    }
}

TEST_F(ProfileTest, LongTokensAreCut) {
    const std::string x10000(10000, 'x');
    const std::string x254(254, 'x');
    const LookupCase cases[] = {
        {"long token before the section", x10000 + " ko-230 DEVSET_ALARM0", "ko-230",
         "DEVSET_ALARM", 1, 0},
        {"long token between section and key", "ko-230 " + x10000 + " DEVSET_ALARM0", "ko-230",
         "DEVSET_ALARM", 1, 0},
        {"long key entry keeps its start", "ko-230 DEVSET_ALARM0" + x10000, "ko-230",
         "DEVSET_ALARM", 1, 0},
        {"long section token is not the section", "ko-230" + x10000 + " DEVSET_ALARM0", "ko-230",
         "DEVSET_ALARM", 1, 1},
        // The part past 254 characters is dropped, not read as a token of its own.
        {"cut tail is no section", x254 + "ko-230 DEVSET_ALARM0", "ko-230", "DEVSET_ALARM", 1, 1},
        {"cut tail is no key entry", "ko-230 " + x254 + "DEVSET_ALARM0 DEVSET_ALARM1", "ko-230",
         "DEVSET_ALARM", 0, 1},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(Lookup(c.text, c.cpSection, c.cpKey, c.iDefault), c.iExpected) << c.cpWhat;
    }
}

TEST_F(ProfileTest, KeyAtTheLastKeptCharacter) {
    // 241 + 12 characters of key: the value character is the 254th, the last one kept.
    std::string key = std::string(241, 'k') + "DEVSET_ALARM";
    EXPECT_EQ(Lookup("ko-230 " + key + "0", "ko-230", key.c_str(), 1), 0);
    EXPECT_EQ(Lookup("ko-230 " + key + "0tail", "ko-230", key.c_str(), 1), 0);
    // One more character of key and the value falls past the cut.
    std::string longer = "k" + key;
    EXPECT_EQ(Lookup("ko-230 " + longer + "0", "ko-230", longer.c_str(), 1), 1);
}

TEST_F(ProfileTest, TokensAcrossBlockBoundaries) {
    const std::string entry = "ko-230 DEVSET_ALARM0";
    // The block boundary falls before, inside and after each of the two tokens.
    for (size_t shift = 0; shift <= entry.size() + 1; ++shift) {
        std::string text = std::string(kProfileBlockSize - entry.size() + shift, ' ') + entry;
        EXPECT_EQ(Lookup(text + "\n", "ko-230", "DEVSET_ALARM", 1), 0) << "shift " << shift;
        EXPECT_EQ(Lookup(text, "ko-230", "DEVSET_ALARM", 1), 0) << "no newline, shift " << shift;
    }
    // A long key entry that starts just before the boundary and spans three blocks.
    std::string spanning = std::string(kProfileBlockSize - 10, ' ') + "ko-230 DEVSET_ALARM0" +
                           std::string(2 * kProfileBlockSize, 'z') + " ko-230 DEVSET_ALARM";
    EXPECT_EQ(Lookup(spanning, "ko-230", "DEVSET_ALARM", 1), 0);
    // The section in one block, the key two blocks later.
    std::string apart = "ko-230" + std::string(2 * kProfileBlockSize, '\n') + "DEVSET_ALARM0";
    EXPECT_EQ(Lookup(apart, "ko-230", "DEVSET_ALARM", 1), 0);
}

TEST_F(ProfileTest, AForgottenProfileIsReadAnew) {
    EXPECT_EQ(Lookup("ko-230 DEVSET_ALARM0", "ko-230", "DEVSET_ALARM", 1), 0);
    EXPECT_EQ(Lookup("ko-230 DEVSET_ALARM1", "ko-230", "DEVSET_ALARM", 0), 1);
    // No descriptor is left open: far more reads than a process may hold open files.
    WriteWholeFile(path_, "ko-230 DEVSET_ALARM0");
    int zeros = 0;
    for (int i = 0; i < 2000; ++i) {
        ForgetProfiles();
        zeros += GetPrivateProfileInt("ko-230", "DEVSET_ALARM", 1, path_.c_str()) == 0 ? 1 : 0;
    }
    EXPECT_EQ(zeros, 2000);
}

TEST_F(ProfileTest, AFileIsReadOncePerPath) {
    struct Step {
        const char* cpWhat;
        const char* cpRewrite;  // new contents of the profile, or null
        bool bForget;
        int iExpected;
    };
    const Step steps[] = {
        {"first lookup reads the file", "ko-230 DEVSET_ALARM0", false, 0},
        {"a rewrite is not seen", "ko-230 DEVSET_ALARM1", false, 0},
        {"nor is a removal", "", false, 0},
        {"until the profiles are forgotten", "ko-230 DEVSET_ALARM1", true, 1},
    };
    for (const Step& step : steps) {
        if (std::string(step.cpRewrite).empty()) {
            std::remove(path_.c_str());
        } else {
            WriteWholeFile(path_, step.cpRewrite);
        }
        if (step.bForget) {
            ForgetProfiles();
        }
        EXPECT_EQ(GetPrivateProfileInt("ko-230", "DEVSET_ALARM", 1, path_.c_str()), step.iExpected)
            << step.cpWhat;
    }
}

// A profile with a valid entry, made size bytes long by a hole after it.
void WriteSparseProfile(const std::string& path, off_t size) {
    WriteWholeFile(path, "ko-230 DEVSET_ALARM0\n");
    int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(ftruncate(fd, size), 0) << path;
    close(fd);
}

TEST_F(ProfileTest, WhatIsNoRegularFileOrTooLargeIsAnAbsentProfile) {
    const std::string fifo = dir_ + "/fifo.conf";
    const std::string huge = dir_ + "/huge.conf";
    const std::string limit = dir_ + "/limit.conf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteSparseProfile(huge, static_cast<off_t>(kProfileSizeMax) + 1);
    WriteSparseProfile(limit, static_cast<off_t>(kProfileSizeMax));
    struct PathCase {
        const char* cpWhat;
        std::string path;
        int iExpected;
    };
    const PathCase cases[] = {
        {"directory", dir_, 1},
        {"character device", "/dev/zero", 1},
        {"FIFO without a writer (must not block)", fifo, 1},
        {"one byte over the size limit", huge, 1},
        {"exactly the size limit is read", limit, 0},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(GetPrivateProfileInt("ko-230", "DEVSET_ALARM", 1, c.path.c_str()), c.iExpected)
            << c.cpWhat;
    }
    ForgetProfiles();
    for (const std::string& path : {fifo, huge, limit}) {
        std::remove(path.c_str());
    }
}

}  // namespace
