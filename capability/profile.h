// Reader of the launcher profile's per-model switches.
#pragma once

#include <cstddef>

/// The profile is read in blocks of this many bytes and tokenized in memory.
constexpr size_t kProfileBlockSize = size_t{64} * 1024;

/// The longest token the reader keeps; a longer token is cut to its first this many characters
/// (the rest of it is dropped, it does not become a token of its own).
constexpr size_t kProfileTokenMax = 254;

/// Looks up key under section in the launcher profile at path: 0 or 1 when found with a valid
/// value (the last valid one wins), default otherwise. Opens, scans and closes the file on each
/// call; a missing file, section or key, or a read error before any value, gives the default.
/// Reports nothing.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);
