// Writing whole texts: to a descriptor, to standard output, and to a file replaced atomically.
// POSIX and the standard library only, so that the simulator links it for its fleet file.
#pragma once

#include <sys/types.h>

#include <string>

/// Writes the whole text to the descriptor, going on after interruptions and short writes.
/// Returns false when a write fails or writes nothing (errno says why).
bool WriteAll(int fd, const std::string& text);

/// Writes the whole text to standard output. Returns false with *error when a write fails.
bool WriteToStandardOutput(const std::string& text, std::string* error);

/// How ReplaceFileAtomically names its temporary file and finishes the new one.
struct file_replacement {
    const char* cpTemporaryPrefix;  // before the file's name in the temporary's
    const char* cpTemporaryInfix;   // between the file's name and six random characters
    mode_t mode;                    // of the new file, whatever the umask
    bool bFolderSyncRequired;       // false: a folder that cannot be synced is no failure
};

/// The fleet front ends' output files: the temporary file is hidden (".out.prom.a1B2c3"), so that
/// a collector watching "*.prom" never reads it half written; mode 0644.
inline constexpr file_replacement kOutputFile = {".", ".", 0644, true};

/// Told the path of the temporary file once it exists and null once it is gone (renamed over the
/// file, or removed), so that a signal handler can remove it; no signal comes between its
/// creation and the first call.
using temporary_watch = void (*)(const char* path);

/// The file that replacing path replaces: path with its symbolic links followed (a link that
/// leads nowhere yet gives the file it names). False with *error, naming path, when path names
/// no file (it ends in a slash), an existing file that is not a regular one (a folder, a device,
/// a named pipe, a socket), or its links cannot be followed.
bool ResolveReplacedFile(const std::string& path, std::string* file, std::string* error);

/// Replaces the file at path (ResolveReplacedFile: a symbolic link stays and its target is
/// replaced) with the text: a temporary file in the same folder, named as how says and cut to fit
/// the longest name a folder takes, is written, given how's mode and synced, then renamed over
/// the file, and the folder is synced. On failure before the rename the old file stays whole and
/// the temporary file is removed. Returns false with *error saying what failed, naming path
/// (which a folder that could not be synced leaves in *error also where how does not require the
/// sync).
bool ReplaceFileAtomically(const std::string& path, const std::string& text,
                           const file_replacement& how, std::string* error,
                           temporary_watch watch = nullptr);

/// Removes the temporary files that ReplaceFileAtomically names for path, as how says, whose last
/// change is more than maxAgeSeconds ago: those of writers that were killed before their rename
/// (a running writer's is younger). Returns how many it removed.
int RemoveStaleTemporaryFiles(const std::string& path, const file_replacement& how,
                              time_t maxAgeSeconds);
