// The work of the children: the enumeration and the reading of one scanner through the service
// libraries. Meant to run in a child process only (fleet/child.h): it loads the libraries.
#pragma once

#include <string>

#include "fleet/fleet_read.h"
#include "fleet/wire.h"

/// Loads the libraries, lists the attached devices, unloads them; the payload of
/// EncodeDeviceList.
std::string EnumerateDevices();

/// Loads the libraries, claims the scanner, reads its three records into the report view,
/// releases it and unloads the libraries; the payload of EncodeScannerReading. Calls no entry
/// point that changes the scanner.
std::string ReadScannerState(const std::string& name);

/// The reading of a scanner whose view is `report`, with the values that no scanner can have
/// taken out, so that every output stays within its schema: a negative sheet count (the counter
/// left out of the list, the flatbed total empty) or sleep-timer minutes (the timer empty), each
/// named in the message. An ADF total, which every view has, makes an impossible one an error.
scanner_reading CheckReportValues(report_view report);

/// The two of them, as ReadFleet takes them.
fleet_probe ServiceProbe();
