// What the children hand back to the parent over their pipe, and the parent's check of it.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "fleet/outcome.h"

/// What the enumerating child found.
struct device_list_reading {
    bool bLibrariesLoaded;
    std::vector<std::string> vNames;  // the device names as the library gives them, byte for byte
};

/// What the child that read one scanner found.
struct scanner_reading {
    ScannerStatus eStatus;   // kOk, kBusy or kError
    std::string strMessage;  // why, for kBusy and kError; for kOk, what was left out of the view
    report_view stReport;    // for kOk
};

/// The device list as bytes: a header line, then each name ended by a NUL byte, so that names
/// travel unchanged whatever bytes they hold.
std::string EncodeDeviceList(const device_list_reading& reading);

/// Reads what EncodeDeviceList wrote; false for anything else.
bool DecodeDeviceList(const std::string& payload, device_list_reading* reading);

/// A scanner's reading as JSON, each field of the view under its name; consumables by their id
/// (consumables/consumables.def), marks and statuses by name. Texts that are not valid UTF-8 are
/// repaired on the way.
std::string EncodeScannerReading(const scanner_reading& reading);

/// Reads what EncodeScannerReading wrote; false for anything else (not JSON, a key missing, added
/// or of the wrong type, a number out of its range, an unknown status, consumable or mark).
bool DecodeScannerReading(const std::string& payload, scanner_reading* reading);

/// A report view as the JSON value that EncodeScannerReading writes under "report" (the state
/// store keeps it so).
nlohmann::json ReportViewToJson(const report_view& view);

/// Reads what ReportViewToJson wrote; false for anything else, as DecodeScannerReading.
bool ReportViewFromJson(const nlohmann::json& json, report_view* view);
