// Tests of the atomic replacement of a file, as the output files and the simulator's fleet file
// use it.
#include "fleet/output.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/files.h"

namespace {

using Names = std::vector<std::string>;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// A replacement and the name its temporary file begins with, beside "orvex.prom".
struct Replacement {
    file_replacement how;
    const char* temporary;
};

const Replacement kReplacements[] = {
    {kOutputFile, ".orvex.prom."},
    {{"", ".tmp-", 0600, false}, "orvex.prom.tmp-"},  // the simulator's fleet file
};

TEST(ReplaceFileAtomically, WritesTheWholeTextWithItsModeAndNoTemporaryLeft) {
    const mode_t oldMask = umask(077);  // the mode does not depend on the caller's mask
    for (const Replacement& r : kReplacements) {
        TempDir dir;
        const std::string path = dir.path() + "/orvex.prom";
        for (const std::string& text : {std::string("first\n"), std::string("second, longer\n")}) {
            std::string error;
            EXPECT_TRUE(ReplaceFileAtomically(path, text, r.how, &error)) << error;
            EXPECT_EQ(ReadWholeFile(path), text);
            EXPECT_EQ(ModeOf(path), r.how.mode);
            EXPECT_EQ(FolderEntries(dir.path()), Names{"orvex.prom"});
        }
    }
    umask(oldMask);
}

// Writing fails half way (a file size limit), as on a full disk: the old file stays whole, and
// the message names the temporary file.
TEST(ReplaceFileAtomically, KeepsTheOldFileAndLeavesNoTemporaryWhenWritingFails) {
    for (const Replacement& r : kReplacements) {
        TempDir dir;
        const std::string path = dir.path() + "/orvex.prom";
        WriteWholeFile(path, "old\n");
        fflush(nullptr);
        pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{8, 8};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::string error;
            bool written = ReplaceFileAtomically(path, std::string(100, 'n'), r.how, &error);
            bool described = error.rfind("cannot write " + dir.path() + "/" + r.temporary, 0) == 0;
            _exit(!written && described ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << r.temporary;
        EXPECT_EQ(ReadWholeFile(path), "old\n");
        EXPECT_EQ(FolderEntries(dir.path()), Names{"orvex.prom"});
    }
}

TEST(ReplaceFileAtomically, SaysWhyWhenTheFileCannotBeReplaced) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir.path() + "/taken").c_str(), 0755), 0);
    struct FailureCase {
        std::string path;
        std::string error;
    };
    const std::vector<FailureCase> cases = {
        {dir.path() + "/missing/out.json",
         "cannot create a temporary file in " + dir.path() + "/missing: No such file or directory"},
        {dir.path() + "/taken", "cannot replace " + dir.path() + "/taken: Is a directory"},
    };
    for (const FailureCase& c : cases) {
        std::string error;
        EXPECT_FALSE(ReplaceFileAtomically(c.path, "text\n", kOutputFile, &error)) << c.path;
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(FolderEntries(dir.path()), Names{"taken"});
    EXPECT_EQ(FolderEntries(dir.path() + "/taken"), Names{});
}

}  // namespace
