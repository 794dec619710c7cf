// Launcher profile reader: the file is read once per path into a flat list of whitespace-separated
// tokens, which every lookup scans for a section name and then for the first token that starts
// with the key.
#include "capability/profile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A profile in memory: the file's bytes and its tokens (views into them, each cut to
// kProfileTokenMax characters). An absent or unusable profile has no tokens.
struct ProfileText {
    std::vector<char> acBytes;
    std::vector<std::string_view> tokens;
};

// The profiles read so far, by path; std::less<> finds a path without copying it. Made on first
// use and kept to the end of the process, so that starting the tool runs no constructor and
// registers no destructor.
using ProfileMap = std::map<std::string, ProfileText, std::less<>>;
ProfileMap* g_pProfiles = nullptr;

// The separators of the token stream: the blanks of the C locale.
struct BlankTable {
    bool abBlank[256];
};

constexpr BlankTable MakeBlankTable() {
    BlankTable table = {};
    const char blanks[] = " \t\n\v\f\r";
    for (size_t i = 0; blanks[i] != '\0'; ++i) {
        table.abBlank[static_cast<unsigned char>(blanks[i])] = true;
    }
    return table;
}

constexpr BlankTable kBlanks = MakeBlankTable();

bool IsBlank(char c) {
    return kBlanks.abBlank[static_cast<unsigned char>(c)];
}

// Opens path without blocking (a FIFO would wait for a writer) and only if it is a regular file
// of at most kProfileSizeMax bytes; -1 otherwise. The size goes to *size.
int OpenRegularFile(const char* path, size_t* size) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<unsigned long long>(status.st_size) > kProfileSizeMax) {
        close(fd);
        return -1;
    }
    *size = static_cast<size_t>(status.st_size);
    return fd;
}

// Reads the whole file into bytes; false when it turns out longer than kProfileSizeMax (it may
// grow while being read). A read error ends the reading: what came before it counts, except the
// token it cut short.
bool ReadWholeFile(int fd, size_t size, std::vector<char>& bytes) {
    bytes.resize(size + 1);  // the byte more shows the end, or that the file grew
    size_t used = 0;
    bool failed = false;
    for (;;) {
        if (used == bytes.size()) {
            if (used > kProfileSizeMax) {
                return false;
            }
            size_t grown = used + (used / 2 > kProfileBlockSize ? used / 2 : kProfileBlockSize);
            bytes.resize(grown < kProfileSizeMax + 1 ? grown : kProfileSizeMax + 1);
        }
        ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failed = got < 0;
            break;
        }
        used += static_cast<size_t>(got);
    }
    while (failed && used > 0 && !IsBlank(bytes[used - 1])) {
        --used;
    }
    bytes.resize(used);
    return true;
}

// Splits the bytes into tokens, each cut to kProfileTokenMax characters; the rest of a longer
// token is dropped.
void CutTokens(ProfileText& profile) {
    const char* pos = profile.acBytes.data();
    const char* end = pos + profile.acBytes.size();
    for (;;) {
        while (pos < end && IsBlank(*pos)) {
            ++pos;
        }
        if (pos == end) {
            return;
        }
        const char* start = pos;
        while (pos < end && !IsBlank(*pos)) {
            ++pos;
        }
        size_t length = static_cast<size_t>(pos - start);
        profile.tokens.emplace_back(start, length < kProfileTokenMax ? length : kProfileTokenMax);
    }
}

void ReadProfile(const char* path, ProfileText& profile) {
    size_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) {
        return;
    }
    bool read = ReadWholeFile(fd, size, profile.acBytes);
    close(fd);
    if (read) {
        CutTokens(profile);
    } else {
        profile.acBytes.clear();
    }
}

// The profile at path, read on first use.
const ProfileText& FindProfile(const char* path) {
    if (g_pProfiles == nullptr) {
        g_pProfiles = new ProfileMap;
    }
    auto found = g_pProfiles->find(std::string_view(path));
    if (found != g_pProfiles->end()) {
        return found->second;
    }
    ProfileText& profile = (*g_pProfiles)[path];
    ReadProfile(path, profile);
    return profile;
}

bool IsSection(std::string_view token, const char* section, size_t sectionLength) {
    return token.size() == sectionLength && strncasecmp(token.data(), section, sectionLength) == 0;
}

bool StartsWithKey(std::string_view token, const char* key, size_t keyLength) {
    return token.size() >= keyLength && strncasecmp(token.data(), key, keyLength) == 0;
}

// Section search then key search, repeated to the last token; returns the last valid value.
int ScanProfile(const std::vector<std::string_view>& tokens, const char* section, const char* key,
                int result) {
    size_t sectionLength = std::strlen(section);
    size_t keyLength = std::strlen(key);
    size_t count = tokens.size();
    for (size_t i = 0; i < count; ++i) {
        if (!IsSection(tokens[i], section, sectionLength)) {
            continue;
        }
        do {
            ++i;
        } while (i < count && !StartsWithKey(tokens[i], key, keyLength));
        if (i == count) {
            break;
        }
        // The character after the key, or none when the token is the key alone.
        char value = tokens[i].size() > keyLength ? tokens[i][keyLength] : '\0';
        if (value == '0' || value == '1') {
            result = value - '0';
        }
    }
    return result;
}

}  // namespace

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
    if (section == nullptr || key == nullptr || path == nullptr) {
        return defaultValue;
    }
    return ScanProfile(FindProfile(path).tokens, section, key, defaultValue);
}

void ForgetProfiles() {
    delete g_pProfiles;
    g_pProfiles = nullptr;
}
