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

/// Replaces the file at path with the text: a temporary file in the same folder, named as how
/// says, is written, given how's mode and synced, then renamed over path, and the folder is
/// synced. On failure before the rename the old file stays whole and the temporary file is
/// removed. Returns false with *error saying what failed (which a folder that could not be synced
/// leaves in *error also where how does not require the sync).
bool ReplaceFileAtomically(const std::string& path, const std::string& text,
                           const file_replacement& how, std::string* error);
