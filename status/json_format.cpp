// The JSON document, built with nlohmann-json in the key order of the schema.
#include "status/json_format.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

Json Messages(const std::vector<fleet_message>& messages) {
    Json list = Json::array();
    for (const fleet_message& message : messages) {
        list.push_back({{"severity", SeverityName(message.eSeverity)}, {"text", message.strText}});
    }
    return list;
}

Json OrNull(bool present, Json value) {
    return present ? std::move(value) : Json(nullptr);
}

// A fact the scanner does not have is null; one it has is rendered by render.
template <typename T, typename Render>
Json OrNull(const std::optional<T>& value, Render render) {
    return value ? Json(render(*value)) : Json(nullptr);
}

template <typename T>
Json OrNull(const std::optional<T>& value) {
    return OrNull(value, [](const T& present) { return present; });
}

Json Consumables(const report_view& report) {
    Json list = Json::array();
    for (const consumable_view& counter : report.vConsumables) {
        const consumable_row& row = ConsumableRowOf(counter.eKind);
        list.push_back(
            {{"id", row.cpId},
             {"label", counter.strLabel},
             {"sheets", counter.iSheets},
             {"first_mark", HasFirstMark(counter.eMarks)},
             {"second_mark",
              OrNull(HasSecondMarkFlag(counter.eKind), HasSecondMark(counter.eMarks))},
             {"clear_option",
              counter.bClearable ? Json(std::string("--") + row.cpClearOption) : Json(nullptr)}});
    }
    return list;
}

Json PowerOff(const power_off_view& powerOff) {
    return {{"active", powerOff.bActive}, {"hours", OrNull(powerOff.oHours)}};
}

Json Side(const side_offsets_view& side) {
    return {{"main", side.dMain}, {"sub", side.dSub}, {"end_of_page", OrNull(side.oEndOfPage)}};
}

Json Offsets(const offsets_view& offsets) {
    return {{"adf_front", Side(offsets.stAdfFront)},
            {"adf_back", Side(offsets.stAdfBack)},
            {"flatbed", OrNull(offsets.oFlatbed, Side)}};
}

Json Magnification(const magnification_view& magnification) {
    return {{"adf", MagnificationPercent(magnification.iAdf)},
            {"flatbed", OrNull(magnification.oFlatbed, MagnificationPercent)}};
}

void AddScannerData(const report_view& report, Json* scanner) {
    Json& out = *scanner;
    out["identification"] = {{"product_id", report.strProductId},
                             {"revision", report.strRevision},
                             {"serial_number", report.strSerialNumber}};
    out["totals"] = {{"adf_sheets", report.iAdfSheets},
                     {"flatbed_sheets", OrNull(report.oFlatbedSheets)}};
    out["consumables"] = Consumables(report);
    out["sleep_timer_minutes"] =
        OrNull(report.oSleepTimer, [](const sleep_timer_view& timer) { return timer.llMinutes; });
    out["power_off"] = OrNull(report.oPowerOff, PowerOff);
    out["offsets_mm"] = OrNull(report.oOffsets, Offsets);
    out["magnification_percent"] = OrNull(report.oMagnification, Magnification);
}

Json Scanner(const scanner_outcome& scanner) {
    Json out = {{"device", scanner.strDevice},
                {"status", ScannerStatusName(scanner.eStatus)},
                {"duration_seconds", scanner.dSeconds},
                {"messages", Messages(scanner.vMessages)}};
    if (scanner.eStatus == ScannerStatus::kOk) {
        AddScannerData(scanner.stReport, &out);
    }
    return out;
}

}  // namespace

std::string RenderJson(const run_outcome& run, const program_info& program) {
    Json scanners = Json::array();
    for (const scanner_outcome& scanner : run.vScanners) {
        scanners.push_back(Scanner(scanner));
    }
    Json document = {{"json_format_version", {1, 0}},
                     {"program",
                      {{"name", program.cpName},
                       {"version", program.cpVersion},
                       {"exit_status", program.iExitStatus},
                       {"enumeration", EnumerationStatusName(run.eEnumeration)},
                       {"duration_seconds", run.dSeconds},
                       {"messages", Messages(run.vMessages)}}},
                     {"scanners", std::move(scanners)}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
