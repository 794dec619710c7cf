// Launcher profile reader: a flat stream of whitespace-separated tokens, scanned for a section
// name and then for the first token that starts with the key.
#include "capability/profile.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The file being scanned and the block of it currently in memory.
struct TokenReader {
    int fd;
    size_t uiPos;
    size_t uiLen;
    bool bAtEnd;   // no more blocks: end of file reached or a read failed
    bool bFailed;  // a read failed
    char acBlock[kProfileBlockSize];
};

// One token, cut to kProfileTokenMax characters, NUL-terminated.
struct Token {
    size_t uiLen;
    char acText[kProfileTokenMax + 1];
};

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

// Reads the next block; false at the end of the file or on a read error, which both end the scan.
bool FillBlock(TokenReader& reader) {
    reader.uiPos = 0;
    reader.uiLen = 0;
    if (reader.bAtEnd) {
        return false;
    }
    ssize_t got;
    do {
        got = read(reader.fd, reader.acBlock, sizeof reader.acBlock);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        reader.bAtEnd = true;
        reader.bFailed = got < 0;
        return false;
    }
    reader.uiLen = static_cast<size_t>(got);
    return true;
}

// Skips whitespace up to the next token; false when the file ends (or fails) first.
bool SkipBlanks(TokenReader& reader) {
    for (;;) {
        while (reader.uiPos < reader.uiLen && IsBlank(reader.acBlock[reader.uiPos])) {
            ++reader.uiPos;
        }
        if (reader.uiPos < reader.uiLen) {
            return true;
        }
        if (!FillBlock(reader)) {
            return false;
        }
    }
}

void AppendCut(Token& token, const char* text, size_t length) {
    size_t room = kProfileTokenMax - token.uiLen;
    size_t kept = length < room ? length : room;
    std::memcpy(token.acText + token.uiLen, text, kept);
    token.uiLen += kept;
}

// Reads the next token, across block boundaries; false when there is none. A read error in the
// middle of a token ends the scan without that token.
bool NextToken(TokenReader& reader, Token& token) {
    if (!SkipBlanks(reader)) {
        return false;
    }
    token.uiLen = 0;
    for (;;) {
        size_t start = reader.uiPos;
        while (reader.uiPos < reader.uiLen && !IsBlank(reader.acBlock[reader.uiPos])) {
            ++reader.uiPos;
        }
        AppendCut(token, reader.acBlock + start, reader.uiPos - start);
        if (reader.uiPos < reader.uiLen) {
            break;
        }
        if (!FillBlock(reader)) {
            if (reader.bFailed) {
                return false;
            }
            break;
        }
    }
    token.acText[token.uiLen] = '\0';
    return true;
}

bool StartsWithKey(const Token& token, const char* key, size_t keyLength) {
    return token.uiLen >= keyLength && strncasecmp(token.acText, key, keyLength) == 0;
}

// Section search then key search, repeated until the file ends; returns the last valid value.
int ScanProfile(TokenReader& reader, const char* section, const char* key, int result) {
    size_t sectionLength = std::strlen(section);
    size_t keyLength = std::strlen(key);
    Token token;
    while (NextToken(reader, token)) {
        // The length first: most tokens are not the section and differ in it.
        if (token.uiLen != sectionLength || strcasecmp(token.acText, section) != 0) {
            continue;
        }
        bool found;
        while ((found = NextToken(reader, token)) && !StartsWithKey(token, key, keyLength)) {
        }
        if (!found) {
            break;
        }
        char value = token.acText[keyLength];
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
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return defaultValue;
    }
    TokenReader reader;
    reader.fd = fd;
    reader.uiPos = 0;
    reader.uiLen = 0;
    reader.bAtEnd = false;
    reader.bFailed = false;
    int result = ScanProfile(reader, section, key, defaultValue);
    close(fd);
    return result;
}
