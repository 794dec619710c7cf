// Whole writes, and a temporary file renamed over the file it replaces.
#include "fleet/output.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>
#include <vector>

namespace {

// Symbolic links followed before a path counts as a loop, as the kernel counts them.
constexpr int kMaxLinks = 40;

// The characters that mkostemp puts in place of "XXXXXX".
constexpr size_t kRandomCharacters = 6;

bool Fail(const std::string& what, const std::string& path, std::string* error) {
    *error = what + " " + path + ": " + std::strerror(errno);
    return false;
}

// A path as its folder and the name in it: "a/b" is "a" and "b", "b" is "." and "b".
struct folder_entry {
    std::string strFolder;
    std::string strName;
};

folder_entry SplitPath(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool ReadLink(const std::string& link, std::string* target) {
    std::vector<char> buffer(PATH_MAX);
    ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
    if (length >= 0 && static_cast<size_t>(length) == buffer.size()) {
        errno = ENAMETOOLONG;
        length = -1;
    }
    if (length < 0) {
        return false;
    }
    target->assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

// The temporary file's name up to its random characters, cut so that the whole name fits in a
// folder: a file name that is itself as long as a name can be still gets its temporary.
std::string TemporaryStem(const std::string& name, const file_replacement& how) {
    size_t fixed =
        std::strlen(how.cpTemporaryPrefix) + std::strlen(how.cpTemporaryInfix) + kRandomCharacters;
    size_t room = fixed < NAME_MAX ? NAME_MAX - fixed : 0;
    return how.cpTemporaryPrefix + name.substr(0, room) + how.cpTemporaryInfix;
}

bool IsRandomCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsTemporaryName(const std::string& name, const std::string& stem) {
    return name.size() == stem.size() + kRandomCharacters &&
           name.compare(0, stem.size(), stem) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(),
                       IsRandomCharacter);
}

// Creates the temporary file from pattern (its path in *temporary) and tells watch, with every
// signal blocked in between, so that a handler that removes it never misses a file that exists.
int CreateTemporary(const std::string& pattern, temporary_watch watch, std::string* temporary) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &saved);
    int fd = mkostemp(name.data(), O_CLOEXEC);
    int reason = errno;
    if (fd >= 0 && watch != nullptr) {
        watch(name.data());
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    errno = reason;
    *temporary = name.data();
    return fd;
}

// Writes, sets the mode and syncs the open temporary file, then closes it; a failure names the
// file that it was to replace.
bool FillTemporary(int fd, const std::string& path, const std::string& text, mode_t mode,
                   std::string* error) {
    bool done = WriteAll(fd, text) || Fail("cannot write", path, error);
    done = done && (fchmod(fd, mode) == 0 || Fail("cannot set the mode of", path, error));
    done = done && (fsync(fd) == 0 || Fail("cannot sync", path, error));
    if (close(fd) != 0 && done) {
        done = Fail("cannot close", path, error);
    }
    return done;
}

bool SyncFolder(const std::string& folder, std::string* error) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Fail("cannot open the folder", folder, error);
    }
    bool synced = fsync(fd) == 0 || Fail("cannot sync the folder", folder, error);
    close(fd);
    return synced;
}

}  // namespace

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written == 0) {
            errno = EIO;  // nothing written and no reason given: trying again would not end
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool WriteToStandardOutput(const std::string& text, std::string* error) {
    return WriteAll(STDOUT_FILENO, text) || Fail("cannot write to", "standard output", error);
}

bool ResolveReplacedFile(const std::string& path, std::string* file, std::string* error) {
    // What the path leads to as the system follows it, also through links whose text is no path
    // (those of /proc/self/fd to a pipe).
    struct stat reached {};
    if (stat(path.c_str(), &reached) == 0 && !S_ISREG(reached.st_mode)) {
        *error = "cannot replace " + path + ": not a regular file";
        return false;
    }
    std::string current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (current.empty() || current.back() == '/') {
            *error = "cannot replace " + path + ": not a file name (it ends in a slash)";
            return false;
        }
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0) {
            *file = current;
            return errno == ENOENT || Fail("cannot replace", path, error);
        }
        if (!S_ISLNK(info.st_mode)) {
            *file = current;
            if (!S_ISREG(info.st_mode)) {
                *error = "cannot replace " + path + ": not a regular file";
            }
            return S_ISREG(info.st_mode);
        }
        std::string target;
        if (!ReadLink(current, &target)) {
            return Fail("cannot replace", path, error);
        }
        if (target.front() != '/') {
            target.insert(0, SplitPath(current).strFolder + "/");  // from the link's folder
        }
        current = std::move(target);
    }
    errno = ELOOP;
    return Fail("cannot replace", path, error);
}

bool ReplaceFileAtomically(const std::string& path, const std::string& text,
                           const file_replacement& how, std::string* error, temporary_watch watch) {
    std::string file;
    if (!ResolveReplacedFile(path, &file, error)) {
        return false;
    }
    folder_entry entry = SplitPath(file);
    std::string temporary;
    int fd = CreateTemporary(entry.strFolder + "/" + TemporaryStem(entry.strName, how) + "XXXXXX",
                             watch, &temporary);
    if (fd < 0) {
        return Fail("cannot create a temporary file in", entry.strFolder, error);
    }
    bool replaced =
        FillTemporary(fd, path, text, how.mode, error) &&
        (rename(temporary.c_str(), file.c_str()) == 0 || Fail("cannot replace", path, error));
    if (!replaced) {
        unlink(temporary.c_str());
    }
    if (watch != nullptr) {
        watch(nullptr);
    }
    return replaced && (SyncFolder(entry.strFolder, error) || !how.bFolderSyncRequired);
}

int RemoveStaleTemporaryFiles(const std::string& path, const file_replacement& how,
                              time_t maxAgeSeconds) {
    std::string file;
    std::string error;
    if (!ResolveReplacedFile(path, &file, &error)) {
        return 0;
    }
    folder_entry entry = SplitPath(file);
    std::string stem = TemporaryStem(entry.strName, how);
    DIR* folder = opendir(entry.strFolder.c_str());
    if (folder == nullptr) {
        return 0;
    }
    time_t oldest = std::time(nullptr) - maxAgeSeconds;
    int removed = 0;
    // cppcheck-suppress readdirCalled ; one thread reads the folder, and readdir_r is deprecated
    while (const dirent* item = readdir(folder)) {
        struct stat info {};
        if (IsTemporaryName(item->d_name, stem) &&
            fstatat(dirfd(folder), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < oldest &&
            unlinkat(dirfd(folder), item->d_name, 0) == 0) {
            ++removed;
        }
    }
    closedir(folder);
    return removed;
}
