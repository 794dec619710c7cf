// Exclusive access and the fleet writer lock, as byte-range locks on the fleet's lock file.
#include "sim/locks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>

namespace sim {

namespace {

// This process's claims: scanner name -> descriptor holding the lock.
std::map<std::string, int>& Claims() {
    static std::map<std::string, int> claims;
    return claims;
}

int OpenLockFile(const std::string& fleetPath) {
    int fd = -1;
    do {
        fd = open(LockPathFor(fleetPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool LockByte(int fd, off_t offset, bool wait) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = offset;
    range.l_len = 1;
    int result = -1;
    do {
        result = fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace

std::string LockPathFor(const std::string& fleetPath) {
    return fleetPath + ".lock";
}

bool ClaimScanner(const std::string& fleetPath, const std::string& name, int slot) {
    if (Claims().count(name) != 0) {
        return true;
    }
    int fd = OpenLockFile(fleetPath);
    if (fd < 0) {
        return false;
    }
    if (!LockByte(fd, static_cast<off_t>(slot) + 1, false)) {
        close(fd);
        return false;
    }
    Claims()[name] = fd;
    return true;
}

bool ReleaseScanner(const std::string& name) {
    auto it = Claims().find(name);
    if (it == Claims().end()) {
        return false;
    }
    close(it->second);
    Claims().erase(it);
    return true;
}

void ReleaseAllScanners() {
    for (const auto& claim : Claims()) {
        close(claim.second);
    }
    Claims().clear();
}

int LockFleetForWriting(const std::string& fleetPath) {
    int fd = OpenLockFile(fleetPath);
    if (fd >= 0 && !LockByte(fd, 0, true)) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

}  // namespace sim
