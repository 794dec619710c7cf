// Launcher profile reader.
#include "capability/profile.h"

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
    // TODO(capability): the token scan.
    (void)section;
    (void)key;
    (void)path;
    return defaultValue;
}
