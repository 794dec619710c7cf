// Filling the three records of the device-control library from a scanner of the fleet.
#pragma once

#include "access/records.h"
#include "sim/fleet.h"

namespace sim {

/// Fills the named fields of the consumables record; labels point to texts kept by the library,
/// null where the scanner has no such counter. The library's own bytes are left as they are.
void FillArdosaInfo(const Scanner& scanner, ardosa_info& info);

/// Fills the identification texts, each cut to its field: a text as long as its field or longer
/// fills it without a terminator.
void FillDeviceInfo(const Scanner& scanner, device_info& info);

/// Fills every byte of the offset record, byte 41 included.
void FillOffsetData(const Scanner& scanner, offset_data& data);

}  // namespace sim
