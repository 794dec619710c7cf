// The children's results: device names as NUL-ended bytes, a scanner's report view as JSON.
#include "fleet/wire.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>

namespace nlohmann {

// A fact the scanner does not have travels as null.
template <typename T>
struct adl_serializer<std::optional<T>> {
    template <typename Json>
    static void to_json(Json& json, const std::optional<T>& value) {
        json = value ? Json(*value) : Json(nullptr);
    }
    template <typename Json>
    static void from_json(const Json& json, std::optional<T>& value) {
        value = json.is_null() ? std::nullopt : std::optional<T>(json.template get<T>());
    }
};

}  // namespace nlohmann

// The enums' converters stand in the global namespace, the enums' own, where the library finds
// them by argument-dependent lookup. A consumable travels by its id, so that the payload does not
// depend on the order of the table.
static void to_json(nlohmann::json& json, ConsumableKind kind) {
    json = ConsumableRowOf(kind).cpId;
}

static void from_json(const nlohmann::json& json, ConsumableKind& kind) {
    const consumable_row* row = FindConsumable(json.get<std::string>());
    if (row == nullptr) {
        throw std::invalid_argument("unknown consumable");
    }
    kind = row->eKind;
}

// The marks by name. An unknown name reads as the first, which the exactness check of
// DecodeScannerReading refuses.
NLOHMANN_JSON_SERIALIZE_ENUM(CounterMarks, {{CounterMarks::kNone, "none"},
                                            {CounterMarks::kFirst, "first"},
                                            {CounterMarks::kSecond, "second"},
                                            {CounterMarks::kBoth, "both"}})

// The one description of the view's fields, for encoding and decoding alike.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(consumable_view, eKind, strLabel, iSheets, eMarks, bClearable)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(sleep_timer_view, llMinutes, llMinMinutes, llMaxMinutes)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(power_off_view, bActive, oHours)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(side_offsets_view, dMain, dSub, oEndOfPage)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(offsets_view, stAdfFront, stAdfBack, oFlatbed)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(magnification_view, iAdf, oFlatbed)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(report_view, strProductId, strRevision, oInitialUse,
                                   strSerialNumber, iAdfSheets, oFlatbedSheets, vConsumables,
                                   oSleepTimer, oPowerOff, oOffsets, oMagnification)

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
        document["report"] = ReportViewToJson(reading.stReport);
    }
    if (reading.eStatus != ScannerStatus::kOk || !reading.strMessage.empty()) {
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
        reading->strMessage = document.value("message", std::string());
        return ReportViewFromJson(document.at("report"), &reading->stReport);
    } catch (const std::exception&) {
        return false;
    }
}

nlohmann::json ReportViewToJson(const report_view& view) {
    return view;
}

bool ReportViewFromJson(const nlohmann::json& json, report_view* view) {
    try {
        *view = json.get<report_view>();
        // The library converts what it can (a fraction or a boolean to a whole number, a number
        // to a narrower one): only a report that the decoded view encodes to again is exact.
        // Compared as text, the form that the parent already writes with the library.
        return nlohmann::json(*view).dump() == json.dump();
    } catch (const std::exception&) {
        return false;
    }
}
