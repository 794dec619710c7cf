// Reader of the launcher profile's per-model switches.
#pragma once

#include <cstddef>

/// When a profile grows while being read, its buffer grows by at least this many bytes.
constexpr size_t kProfileBlockSize = size_t{64} * 1024;

/// The longest token the reader keeps; a longer token is cut to its first this many characters
/// (the rest of it is dropped, it does not become a token of its own).
constexpr size_t kProfileTokenMax = 254;

/// The largest profile read; a longer file (also one that grows past this while being read) is
/// taken as absent.
constexpr size_t kProfileSizeMax = size_t{64} * 1024 * 1024;

/// Looks up key under section in the launcher profile at path: 0 or 1 when found with a valid
/// value (the last valid one wins), default otherwise. The file is read once per path and process
/// and kept in memory; a missing file, section or key, a path that is not a regular file, a file
/// larger than kProfileSizeMax, or a read error before any value, gives the default.
/// Reports nothing.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);

/// Drops every profile kept in memory, so that the next lookup reads its file again (for a
/// profile rewritten within one process).
void ForgetProfiles();
