// The attached devices, read from the device-watch library.
#include "access/device_list.h"

#include <cstring>

#include "access/binding.h"

std::vector<std::string> ListDeviceNames() {
    std::vector<std::string> names;
    // The count is read again for every index.
    for (int index = 0; index < g_fcpkorwc_GetDeviceTotalNum(); ++index) {
        const char* name = g_fcpkorwc_GetDeviceName(index);
        names.emplace_back(name != nullptr ? name : "");
    }
    return names;
}

bool IsValidScannerName(const char* name) {
    if (name == nullptr) {
        return false;
    }
    int count = g_fcpkorwc_GetDeviceTotalNum();
    for (int index = 0; index < count; ++index) {
        const char* attached = g_fcpkorwc_GetDeviceName(index);
        if (attached != nullptr && std::strcmp(name, attached) == 0) {
            return true;
        }
    }
    return false;
}
