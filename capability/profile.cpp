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

// One token, cut to kProfileTokenMax characters. cpText points into the block when the token lies
// wholly in it, and into acText (NUL-terminated) when it straddles two blocks.
struct Token {
    const char* cpText;
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
        // Locals, not the reader's fields: stores through char pointers could alias them, which
        // would keep the loop from holding them in registers.
        const char* block = reader.acBlock;
        size_t pos = reader.uiPos;
        size_t len = reader.uiLen;
        while (pos < len && IsBlank(block[pos])) {
            ++pos;
        }
        reader.uiPos = pos;
        if (pos < len) {
            return true;
        }
        if (!FillBlock(reader)) {
            return false;
        }
    }
}

// Advances over the token's characters in the current block; true if the token ends in it.
bool ScanTokenChars(TokenReader& reader) {
    const char* block = reader.acBlock;
    size_t pos = reader.uiPos;
    size_t len = reader.uiLen;
    while (pos < len && !IsBlank(block[pos])) {
        ++pos;
    }
    reader.uiPos = pos;
    return pos < len;
}

void AppendCut(Token& token, const char* text, size_t length) {
    size_t room = kProfileTokenMax - token.uiLen;
    size_t kept = length < room ? length : room;
    std::memcpy(token.acText + token.uiLen, text, kept);
    token.uiLen += kept;
}

// The rest of a token that straddles blocks, gathered into the token's own buffer. A read error
// in the middle of the token ends the scan without it.
bool GatherToken(TokenReader& reader, Token& token, size_t start) {
    token.uiLen = 0;
    for (;;) {
        AppendCut(token, reader.acBlock + start, reader.uiPos - start);
        if (!FillBlock(reader)) {
            if (reader.bFailed) {
                return false;
            }
            break;
        }
        start = 0;
        if (ScanTokenChars(reader)) {
            AppendCut(token, reader.acBlock, reader.uiPos);
            break;
        }
    }
    token.acText[token.uiLen] = '\0';
    token.cpText = token.acText;
    return true;
}

// Reads the next token without copying it when it lies in the current block; false when there
// is none.
bool NextToken(TokenReader& reader, Token& token) {
    if (!SkipBlanks(reader)) {
        return false;
    }
    size_t start = reader.uiPos;
    if (!ScanTokenChars(reader)) {
        return GatherToken(reader, token, start);
    }
    size_t length = reader.uiPos - start;
    token.cpText = reader.acBlock + start;
    token.uiLen = length < kProfileTokenMax ? length : kProfileTokenMax;
    return true;
}

bool IsSection(const Token& token, const char* section, size_t sectionLength) {
    return token.uiLen == sectionLength && strncasecmp(token.cpText, section, sectionLength) == 0;
}

bool StartsWithKey(const Token& token, const char* key, size_t keyLength) {
    return token.uiLen >= keyLength && strncasecmp(token.cpText, key, keyLength) == 0;
}

// Section search then key search, repeated until the file ends; returns the last valid value.
int ScanProfile(TokenReader& reader, const char* section, const char* key, int result) {
    size_t sectionLength = std::strlen(section);
    size_t keyLength = std::strlen(key);
    Token token;
    while (NextToken(reader, token)) {
        if (!IsSection(token, section, sectionLength)) {
            continue;
        }
        bool found;
        while ((found = NextToken(reader, token)) && !StartsWithKey(token, key, keyLength)) {
        }
        if (!found) {
            break;
        }
        // The character after the key, or none when the token is the key alone.
        char value = token.uiLen > keyLength ? token.cpText[keyLength] : '\0';
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
