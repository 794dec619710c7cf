// The children's results: device names as NUL-ended bytes, a scanner's report model as JSON.
#include "fleet/wire.h"

#include <nlohmann/json.hpp>

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(report_counter, eKind, strLabel, iSheets, bHasSecondMark,
                                   bFirstMark, bSecondMark, bClearable)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(report_offsets, iMain, iSub, iEndOfPage)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(report_model, strProductId, strRevision, bShowsInitialUse,
                                   strInitialUse, strSerialNumber, iAdfTotal, bHasFlatbed, iFbTotal,
                                   vCounters, bPowerSaveSupported, llSleepMinutes,
                                   bPowerOffSupported, bPowerOffActive, iPowerOffSetting,
                                   bHasOffsets, bHasEndOfPage, bHasFlatbedOffsets, stAdfFront,
                                   stAdfBack, stFlatbed, iAdfMagnification, iFbMagnification)

namespace {

const char kLoadedHeader[] = "libraries loaded\n";
const char kMissingHeader[] = "libraries missing\n";

// The statuses a reading child may report; the others are the parent's own findings.
const ScannerStatus kReadingStatuses[] = {ScannerStatus::kOk, ScannerStatus::kBusy,
                                          ScannerStatus::kError};

bool ParseReadingStatus(const std::string& name, ScannerStatus* status) {
    for (ScannerStatus candidate : kReadingStatuses) {
        if (name == ScannerStatusName(candidate)) {
            *status = candidate;
            return true;
        }
    }
    return false;
}

bool HasKnownKinds(const report_model& report) {
    for (const report_counter& counter : report.vCounters) {
        int kind = static_cast<int>(counter.eKind);
        if (kind < 0 || kind >= static_cast<int>(kConsumableCount)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string EncodeDeviceList(const device_list_reading& reading) {
    std::string payload = reading.bLibrariesLoaded ? kLoadedHeader : kMissingHeader;
    for (const std::string& name : reading.vNames) {
        payload.append(name.c_str(), name.size() + 1);
    }
    return payload;
}

bool DecodeDeviceList(const std::string& payload, device_list_reading* reading) {
    reading->vNames.clear();
    if (payload == kMissingHeader) {
        reading->bLibrariesLoaded = false;
        return true;
    }
    if (payload.rfind(kLoadedHeader, 0) != 0) {
        return false;
    }
    reading->bLibrariesLoaded = true;
    size_t start = sizeof kLoadedHeader - 1;
    while (start < payload.size()) {
        size_t end = payload.find('\0', start);
        if (end == std::string::npos) {
            return false;  // cut short
        }
        reading->vNames.push_back(payload.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::string EncodeScannerReading(const scanner_reading& reading) {
    nlohmann::json document = {{"status", ScannerStatusName(reading.eStatus)}};
    if (reading.eStatus == ScannerStatus::kOk) {
        document["report"] = reading.stReport;
    } else {
        document["message"] = reading.strMessage;
    }
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool DecodeScannerReading(const std::string& payload, scanner_reading* reading) {
    try {
        nlohmann::json document = nlohmann::json::parse(payload);
        if (!ParseReadingStatus(document.at("status").get<std::string>(), &reading->eStatus)) {
            return false;
        }
        if (reading->eStatus != ScannerStatus::kOk) {
            reading->strMessage = document.at("message").get<std::string>();
            return true;
        }
        reading->stReport = document.at("report").get<report_model>();
        return HasKnownKinds(reading->stReport);
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}
