// Reader of the launcher profile's per-model switches.
#pragma once

/// Looks up key under section in the launcher profile at path: 0 or 1 when found with a valid
/// value (the last valid one wins), default otherwise. Reports nothing.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);
