// Writing the finished output: to standard output, or by atomic replacement of a file.
#pragma once

#include <string>

/// Writes the whole text to the descriptor, going on after interruptions and short writes.
/// Returns false when a write fails (errno says why).
bool WriteAll(int fd, const std::string& text);

/// Writes the whole text to standard output. Returns false with *error when a write fails.
bool WriteToStandardOutput(const std::string& text, std::string* error);

/// Replaces the file at path with the text: a temporary file in the same folder (whose name does
/// not end in the path's suffix, so that a collector watching "*.prom" never reads it half
/// written) is written, given mode 0644 and synced, then renamed over path, and the folder is
/// synced. On failure before the rename the old file stays whole and the temporary file is
/// removed. Returns false with *error saying what failed.
bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string* error);
