// Atomic replacement of the fleet file: lock, re-read, change one scanner, temporary file, fsync,
// rename.
#include "sim/store.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <nlohmann/json.hpp>

#include "fleet/output.h"
#include "sim/locks.h"

namespace sim {

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

// The temporary file of a writer is the fleet file's name, this, and six characters of mkstemp.
const char kTemporarySuffix[] = ".tmp-";

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool ReadDocument(const std::string& path, ordered_json& document, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = Reason("cannot read the fleet file", path);
        return false;
    }
    try {
        document = ordered_json::parse(file);
    } catch (const std::exception& e) {
        error = "malformed fleet file " + path + ": " + e.what();
        return false;
    }
    return true;
}

ordered_json* FindScannerObject(ordered_json& document, const std::string& name) {
    auto scanners = document.find("scanners");
    if (!document.is_object() || scanners == document.end() || !scanners->is_array()) {
        return nullptr;
    }
    for (ordered_json& scanner : *scanners) {
        auto key = scanner.find("name");
        if (scanner.is_object() && key != scanner.end() && key->is_string() && *key == name) {
            return &scanner;
        }
    }
    return nullptr;
}

// The folder of path, with its trailing slash.
std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// Removes the temporary files of writers that were killed before their rename: a writer keeps
// its temporary file only while it holds the writer lock, which is ours now.
void RemoveStaleTemporaries(const std::string& path) {
    std::string directory = DirectoryOf(path);
    std::string prefix = path.substr(directory.size()) + kTemporarySuffix;
    DIR* folder = opendir(directory.c_str());
    if (folder == nullptr) {
        return;
    }
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
            unlinkat(dirfd(folder), entry->d_name, 0);
        }
    }
    closedir(folder);
}

// Writes text to a new file beside path, with the given mode, and renames it over path; a
// folder that cannot be synced does not undo a write that is done.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode,
                 std::string& error) {
    if (!ReplaceFileAtomically(path, text, {"", kTemporarySuffix, mode, false}, &error)) {
        return false;
    }
    RemoveStaleTemporaries(path);
    return true;
}

// The mode of the fleet file at path when this process may replace it. The replacement is owned
// by whoever writes it, so a file of another user is refused (as root too), and so is a file
// that its owner made read-only.
bool ReplaceableMode(const std::string& path, mode_t& mode, std::string& error) {
    struct stat file {};
    if (stat(path.c_str(), &file) != 0) {
        error = Reason("cannot read the fleet file", path);
        return false;
    }
    if (file.st_uid != geteuid()) {
        error = "the fleet file " + path + " belongs to another user (uid " +
                std::to_string(file.st_uid) + ")";
        return false;
    }
    if ((file.st_mode & S_IWUSR) == 0) {
        error = "the fleet file " + path + " is read-only";
        return false;
    }
    mode = file.st_mode & 07777;
    return true;
}

bool ChangeDocument(const std::string& path, const std::string& name,
                    const std::function<void(ordered_json&)>& change, Scanner& written,
                    std::string& error) {
    mode_t mode = 0;
    if (!ReplaceableMode(path, mode, error)) {
        return false;
    }
    ordered_json document;
    if (!ReadDocument(path, document, error)) {
        return false;
    }
    ordered_json* scanner = FindScannerObject(document, name);
    if (scanner == nullptr) {
        error = "the fleet file " + path + " has no scanner named " + name;
        return false;
    }
    try {
        change(*scanner);
        written = ParseScanner(json::parse(scanner->dump()));
    } catch (const std::exception& e) {
        error = "cannot change " + name + " in " + path + ": " + e.what();
        return false;
    }
    return ReplaceFile(path, document.dump(2) + "\n", mode, error);
}

}  // namespace

bool UpdateScanner(const std::string& path, const std::string& name,
                   const std::function<void(ordered_json&)>& change, Scanner& written,
                   std::string& error) {
    // Resolved once, so that a link to the fleet file stays a link and the file it leads to is
    // the one locked, read and replaced.
    std::string target = ResolveFleetPath(path);
    int lock = LockFleetForWriting(target);
    if (lock < 0) {
        error = Reason("cannot lock the fleet file", target);
        return false;
    }
    bool ok = ChangeDocument(target, name, change, written, error);
    close(lock);
    return ok;
}

}  // namespace sim
