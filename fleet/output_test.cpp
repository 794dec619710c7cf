// Tests of the atomic replacement of a file, as the output files and the simulator's fleet file
// use it.
#include "fleet/output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <utility>

#include "fleet/termination.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

namespace {

using Names = std::vector<std::string>;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// The output files' replacement, and the simulator's fleet file's.
const file_replacement kReplacements[] = {kOutputFile, {"", ".tmp-", 0600, false}};

// A file made and then replaced gets the whole text and its mode, whatever the caller's umask.
// Writing that fails half way (a file size limit), as on a full disk, keeps the old file whole
// and names the file, not its temporary; so does a termination signal while the temporary
// exists, which takes the temporary away with the process (the handlers know it from its
// creation on). No temporary is left.
TEST(ReplaceFileAtomically, WritesTheWholeTextWithItsModeOrKeepsTheOldFile) {
    const mode_t oldMask = umask(077);
    for (const file_replacement& how : kReplacements) {
        TempDir dir;
        const std::string path = dir.path() + "/orvex.prom";
        for (const std::string& text : {std::string("first\n"), std::string("second, longer\n")}) {
            std::string error;
            EXPECT_TRUE(ReplaceFileAtomically(path, text, how, &error)) << error;
            EXPECT_EQ(ReadWholeFile(path), text);
            EXPECT_EQ(ModeOf(path), how.mode);
        }
        RunResult full = RunInChild([&] {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{8, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::string error;
            bool written = ReplaceFileAtomically(path, std::string(100, 'n'), how, &error);
            limit.rlim_cur = RLIM_INFINITY;  // for the report of what happened
            setrlimit(RLIMIT_FSIZE, &limit);
            std::printf("%s\n", written ? "written" : error.c_str());
        });
        EXPECT_EQ(full.out, "cannot write " + path + ": File too large\n");
        RunResult ended = RunInChild([&] {
            InstallTerminationHandlers();
            std::string error;
            ReplaceFileAtomically(path, "new\n", how, &error, [](const char* temporary) {
                RemoveOnTermination(temporary);
                if (temporary != nullptr) {
                    raise(SIGTERM);  // as if sent at once: it comes when the temporary is known
                }
            });
        });
        EXPECT_EQ(ended.signal, SIGTERM) << how.cpTemporaryInfix;
        EXPECT_EQ(ReadWholeFile(path), "second, longer\n");
        EXPECT_EQ(FolderEntries(dir.path()), Names{"orvex.prom"});
    }
    umask(oldMask);
}

// What a watch of the temporary file was told: each path ("" for null) and whether a file was
// there when it was told.
std::vector<std::pair<std::string, bool>> g_watched;

void RecordWatch(const char* path) {
    g_watched.emplace_back(path ? path : "", path != nullptr && access(path, F_OK) == 0);
}

std::string LinkTarget(const std::string& link) {
    char target[PATH_MAX];
    ssize_t length = readlink(link.c_str(), target, sizeof target);
    return length < 0 ? "" : std::string(target, static_cast<size_t>(length));
}

// Symbolic links stay while the file they lead to is replaced, its temporary file beside it (one
// for a name as long as a name can be too). A path that names no regular file is refused before
// anything is written, and nothing that is there changes: a folder, a named pipe, a device behind
// a link, a link loop.
TEST(ReplaceFileAtomically, ReplacesTheFileThatThePathLeadsToAndNothingElse) {
    TempDir dir, other;
    const std::string d = dir.path() + "/", o = other.path() + "/", longest(NAME_MAX, 'n');
    // Beside its target, to a link to another folder, to a file not made yet, to a device, a loop.
    const std::vector<std::pair<std::string, std::string>> links = {
        {d + "link", "target"},      {d + "first", "second"},   {d + "second", o + "target"},
        {d + "dangling", o + "new"}, {d + "null", "/dev/null"}, {d + "loop", "loop"}};
    for (const auto& [link, target] : links) {
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    }
    ASSERT_EQ(mkdir((d + "taken").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((d + "fifo").c_str(), 0644), 0);
    WriteWholeFile(d + "file", "old\n");
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    // As /dev/stdout is when standard output is a pipe: a link whose text is no path.
    const std::string pipeEnd = "/proc/self/fd/" + std::to_string(pipeFds[1]);
    struct Case {
        std::string path;
        std::string file;   // that it leads to, replaced
        std::string error;  // else
    };
    const std::vector<Case> cases = {
        {d + longest, d + longest, ""},
        {d + "link", d + "target", ""},
        {d + "first", o + "target", ""},
        {d + "dangling", o + "new", ""},
        {d + "missing/out.json", "",
         "cannot create a temporary file in " + d + "missing: No such file or directory"},
        {d + "taken", "", "cannot replace " + d + "taken: not a regular file"},
        {d + "new/", "", "cannot replace " + d + "new/: not a file name (it ends in a slash)"},
        {pipeEnd, "", "cannot replace " + pipeEnd + ": not a regular file"},
        {d + "fifo", "", "cannot replace " + d + "fifo: not a regular file"},
        {d + "null", "", "cannot replace " + d + "null: not a regular file"},
        {d + "loop", "", "cannot replace " + d + "loop: Too many levels of symbolic links"},
        {d + "file/x", "", "cannot replace " + d + "file/x: Not a directory"},
    };
    for (const Case& c : cases) {
        g_watched.clear();
        std::string error;
        EXPECT_EQ(ReplaceFileAtomically(c.path, c.path, kOutputFile, &error, RecordWatch),
                  c.error.empty());
        EXPECT_EQ(error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(ReadWholeFile(c.file), c.path);
            const std::string folder = c.file.substr(0, c.file.rfind('/') + 1);
            ASSERT_EQ(g_watched.size(), 2u) << c.path;
            EXPECT_EQ(g_watched[0].first.rfind(folder + ".", 0), 0u) << g_watched[0].first;
            EXPECT_LE(g_watched[0].first.size() - folder.size(), size_t{NAME_MAX}) << c.path;
            EXPECT_TRUE(g_watched[0].second) << c.path << ": the temporary existed while watched";
            EXPECT_EQ(g_watched[1], std::make_pair(std::string(), false)) << c.path;
        }
    }
    for (const auto& [link, target] : links) {
        EXPECT_EQ(LinkTarget(link), target);
    }
    EXPECT_EQ(FolderEntries(d), (Names{"dangling", "fifo", "file", "first", "link", "loop", longest,
                                       "null", "second", "taken", "target"}));
    EXPECT_EQ(FolderEntries(o), (Names{"new", "target"}));
    struct stat fifo {};
    EXPECT_TRUE(lstat((d + "fifo").c_str(), &fifo) == 0 && S_ISFIFO(fifo.st_mode));
    EXPECT_EQ(ReadWholeFile(d + "file"), "old\n");
    close(pipeFds[0]);
    close(pipeFds[1]);
}

TEST(RemoveStaleTemporaryFiles, RemovesOnlyTheFilesOwnTemporariesOlderThanTheAge) {
    TempDir dir;
    const std::string d = dir.path() + "/";
    const time_t now = std::time(nullptr);
    auto age = [&](const std::string& name, int minutes) {
        timespec times[2] = {{now - minutes * 60, 0}, {now - minutes * 60, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (d + name).c_str(), times, 0), 0) << name;
    };
    // Each file and its age in minutes: the first alone is a temporary of orvex.prom older than
    // the hour, and a folder is no file even with such a name.
    const std::pair<const char*, int> files[] = {
        {".orvex.prom.a1B2c3", 61},  {".orvex.prom.a1B2c4", 59},   {".orvex.prom.a1B2c", 600},
        {".orvex.prom.a1B2c!", 600}, {".orvex.prom.a1B2c3d", 600}, {".other.prom.a1B2c3", 600},
        {"orvex.prom", 600}};
    for (const auto& [name, minutes] : files) {
        WriteWholeFile(d + name, "x");
        age(name, minutes);
    }
    ASSERT_EQ(mkdir((d + ".orvex.prom.fOlder").c_str(), 0755), 0);
    age(".orvex.prom.fOlder", 600);
    EXPECT_EQ(RemoveStaleTemporaryFiles(d + "orvex.prom", kOutputFile, 3600), 1);
    EXPECT_EQ(FolderEntries(d), (Names{".orvex.prom.a1B2c", ".orvex.prom.a1B2c!",
                                       ".orvex.prom.a1B2c3d", ".orvex.prom.a1B2c4",
                                       ".orvex.prom.fOlder", ".other.prom.a1B2c3", "orvex.prom"}));
}

}  // namespace
