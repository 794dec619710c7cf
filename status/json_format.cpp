// The JSON document, built with nlohmann-json in the key order of the schema.
#include "status/json_format.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

// Durations to the microsecond: finer digits say nothing about a run.
double Rounded(double seconds) {
    return std::round(seconds * 1e6) / 1e6;
}

Json Messages(const std::vector<status_message>& messages) {
    Json list = Json::array();
    for (const status_message& message : messages) {
        list.push_back({{"severity", SeverityName(message.eSeverity)}, {"text", message.strText}});
    }
    return list;
}

Json OrNull(bool present, Json value) {
    return present ? std::move(value) : Json(nullptr);
}

Json Consumables(const report_model& report) {
    Json list = Json::array();
    for (const report_counter& counter : report.vCounters) {
        std::string clearOption = ClearOptionOf(counter);
        list.push_back({{"id", ConsumableId(counter.eKind)},
                        {"label", counter.strLabel},
                        {"sheets", counter.iSheets},
                        {"first_mark", counter.bFirstMark},
                        {"second_mark", OrNull(counter.bHasSecondMark, counter.bSecondMark)},
                        {"clear_option", clearOption.empty() ? Json(nullptr) : Json(clearOption)}});
    }
    return list;
}

Json PowerOff(const report_model& report) {
    int hours = PowerOffHours(report.iPowerOffSetting);
    return {{"active", report.bPowerOffActive}, {"hours", OrNull(hours != 0, hours)}};
}

// Offsets are held in steps of 0.5 mm.
Json Side(const report_offsets& side, bool hasEndOfPage) {
    return {{"main", side.iMain / 2.0},
            {"sub", side.iSub / 2.0},
            {"end_of_page", OrNull(hasEndOfPage, side.iEndOfPage / 2.0)}};
}

Json Offsets(const report_model& report) {
    return {{"adf_front", Side(report.stAdfFront, report.bHasEndOfPage)},
            {"adf_back", Side(report.stAdfBack, report.bHasEndOfPage)},
            {"flatbed", OrNull(report.bHasFlatbedOffsets, Side(report.stFlatbed, false))}};
}

// Magnifications are held in tenths of a percent.
Json Magnification(const report_model& report) {
    return {{"adf", report.iAdfMagnification / 10.0},
            {"flatbed", OrNull(report.bHasFlatbedOffsets, report.iFbMagnification / 10.0)}};
}

void AddScannerData(const report_model& report, Json* scanner) {
    Json& out = *scanner;
    out["identification"] = {{"product_id", report.strProductId},
                             {"revision", report.strRevision},
                             {"serial_number", report.strSerialNumber}};
    out["totals"] = {{"adf_sheets", report.iAdfTotal},
                     {"flatbed_sheets", OrNull(report.bHasFlatbed, report.iFbTotal)}};
    out["consumables"] = Consumables(report);
    out["sleep_timer_minutes"] = OrNull(report.bPowerSaveSupported, report.llSleepMinutes);
    out["power_off"] = OrNull(report.bPowerOffSupported, PowerOff(report));
    out["offsets_mm"] = OrNull(report.bHasOffsets, Offsets(report));
    out["magnification_percent"] = OrNull(report.bHasOffsets, Magnification(report));
}

Json Scanner(const scanner_outcome& scanner) {
    Json out = {{"device", scanner.strDevice},
                {"status", ScannerStatusName(scanner.eStatus)},
                {"duration_seconds", Rounded(scanner.dSeconds)},
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
                       {"duration_seconds", Rounded(run.dSeconds)},
                       {"messages", Messages(run.vMessages)}}},
                     {"scanners", std::move(scanners)}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
