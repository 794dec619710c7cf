// Files and folders for tests: a temporary folder, whole files read and written, the lines of a
// text and the names in a folder. Part of the generic test support: no project layer here.
#pragma once

#include <string>
#include <vector>

/// A temporary folder under $TMPDIR (else /tmp), removed with everything in it; throws
/// std::runtime_error when it cannot be made. A moved-from folder owns nothing.
class TempDir {
public:
    TempDir();
    TempDir(TempDir&& other) noexcept;
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    TempDir& operator=(TempDir&&) = delete;
    ~TempDir();

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

/// The whole text of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
/// Replaces a file with the text.
void WriteWholeFile(const std::string& path, const std::string& text);
/// The lines of a text without their line ends.
std::vector<std::string> SplitIntoLines(const std::string& text);
/// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
/// The document checked against the JSON schema at schemaPath with Debian's python3-jsonschema:
/// the message of the first violation, or "" when it is valid.
std::string SchemaViolation(const std::string& document, const std::string& schemaPath);
