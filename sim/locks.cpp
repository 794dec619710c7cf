// Exclusive access and the fleet writer lock, as byte-range locks on the fleet's lock file.
#include "sim/locks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>

#include "sim/fleet.h"

namespace sim {

namespace {

/// A claim: the descriptor holding the lock, and the process that took it.
struct Claim {
    int fd;
    pid_t owner;
};

// The claims of this process by scanner name. A child process inherits the parent's entries and
// descriptors, but not its claims: it drops those entries when it meets them.
std::map<std::string, Claim>& Claims() {
    static std::map<std::string, Claim> claims;
    return claims;
}

// The claim of this process on name, or null; forgets an entry inherited from a parent.
Claim* OwnClaim(const std::string& name) {
    auto it = Claims().find(name);
    if (it == Claims().end()) {
        return nullptr;
    }
    if (it->second.owner != getpid()) {
        close(it->second.fd);  // the parent's lock stays: it holds the description too
        Claims().erase(it);
        return nullptr;
    }
    return &it->second;
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

// The byte of the lock file that stands for the scanner of that name; byte 0 is the writers'.
off_t ClaimOffset(const std::string& name) {
    // FNV-1a, fixed here rather than std::hash so that every build of the libraries agrees. Two
    // names meet on one byte with a chance of about 2^-62; they would then only exclude each
    // other, never let two runs share one scanner.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : name) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return 1 + static_cast<off_t>(hash >> 2);
}

}  // namespace

std::string LockPathFor(const std::string& fleetPath) {
    return fleetPath + ".lock";
}

bool ClaimScanner(const std::string& fleetPath, const std::string& name) {
    if (OwnClaim(name) != nullptr) {
        return true;
    }
    int fd = OpenLockFile(ResolveFleetPath(fleetPath));
    if (fd < 0) {
        return false;
    }
    if (!LockByte(fd, ClaimOffset(name), false)) {
        close(fd);
        return false;
    }
    Claims()[name] = Claim{fd, getpid()};
    return true;
}

bool ReleaseScanner(const std::string& name) {
    Claim* claim = OwnClaim(name);
    if (claim == nullptr) {
        return false;
    }
    close(claim->fd);
    Claims().erase(name);
    return true;
}

void ReleaseAllScanners() {
    for (const auto& claim : Claims()) {
        close(claim.second.fd);
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
