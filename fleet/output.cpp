// Whole writes, and a temporary file renamed over the file it replaces.
#include "fleet/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

bool Fail(const std::string& what, const std::string& path, std::string* error) {
    *error = what + " " + path + ": " + std::strerror(errno);
    return false;
}

// Writes, sets the mode and syncs the open temporary file, then closes it.
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

bool ReplaceFileAtomically(const std::string& path, const std::string& text,
                           const file_replacement& how, std::string* error) {
    std::filesystem::path target(path);
    std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
    std::string pattern = folder + "/" + how.cpTemporaryPrefix + target.filename().string() +
                          how.cpTemporaryInfix + "XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return Fail("cannot create a temporary file in", folder, error);
    }
    std::string temporaryPath(temporary.data());
    if (!FillTemporary(fd, temporaryPath, text, how.mode, error)) {
        unlink(temporaryPath.c_str());
        return false;
    }
    if (rename(temporaryPath.c_str(), path.c_str()) != 0) {
        Fail("cannot replace", path, error);
        unlink(temporaryPath.c_str());
        return false;
    }
    return SyncFolder(folder, error) || !how.bFolderSyncRequired;
}
