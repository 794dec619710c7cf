// The JSON document, built with nlohmann-json in the key order of the schema.
#include "status/json_format.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "fleet/settings_check.h"

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

Json Replacement(const consumable_replacement& replaced) {
    return {{"at", Rfc3339(replaced.llAt)}, {"sheets_before", replaced.iSheetsBefore}};
}

Json Consumables(const scanner_outcome& scanner) {
    Json list = Json::array();
    for (const consumable_view& counter : scanner.stReport.vConsumables) {
        const consumable_row& row = ConsumableRowOf(counter.eKind);
        const std::optional<int32_t>& life = scanner.aLife[static_cast<size_t>(counter.eKind)];
        list.push_back(
            {{"id", row.cpId},
             {"label", counter.strLabel},
             {"sheets", counter.iSheets},
             {"first_mark", HasFirstMark(counter.eMarks)},
             {"second_mark",
              OrNull(HasSecondMarkFlag(counter.eKind), HasSecondMark(counter.eMarks))},
             {"clear_option",
              counter.bClearable ? Json(std::string("--") + row.cpClearOption) : Json(nullptr)},
             {"life_sheets", OrNull(life)},
             {"remaining_ratio",
              OrNull(life,
                     [&](int32_t sheets) { return RemainingRatio(sheets, counter.iSheets); })},
             {"replaced",
              OrNull(scanner.aReplaced[static_cast<size_t>(counter.eKind)], Replacement)}});
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

// A setting's value as the policy file writes it: minutes, or a --power-off text.
Json SettingValue(PolicySetting setting, long long value) {
    return setting == PolicySetting::kSleepTimer ? Json(value)
                                                 : Json(SettingValueText(setting, value));
}

Json Policy(const settings_check& check) {
    Json policy = Json::object();
    for (const setting_check& one : check.vChecks) {
        policy[PolicySettingRowOf(one.eSetting).cpKey] = {
            {"wanted", SettingValue(one.eSetting, one.iWanted)},
            {"actual",
             OrNull(one.oActual,
                    [&](long long actual) { return SettingValue(one.eSetting, actual); })},
            {"compliant", one.bCompliant}};
    }
    return policy;
}

void AddScannerData(const scanner_outcome& scanner, Json* data) {
    const report_view& report = scanner.stReport;
    Json& out = *data;
    out["read_at"] = Rfc3339(scanner.llReadAt);
    out["cached"] = scanner.bCached;
    out["identification"] = {{"product_id", report.strProductId},
                             {"revision", report.strRevision},
                             {"serial_number", report.strSerialNumber}};
    out["totals"] = {{"adf_sheets", report.iAdfSheets},
                     {"flatbed_sheets", OrNull(report.oFlatbedSheets)}};
    out["consumables"] = Consumables(scanner);
    out["sleep_timer_minutes"] =
        OrNull(report.oSleepTimer, [](const sleep_timer_view& timer) { return timer.llMinutes; });
    out["power_off"] = OrNull(report.oPowerOff, PowerOff);
    out["offsets_mm"] = OrNull(report.oOffsets, Offsets);
    out["magnification_percent"] = OrNull(report.oMagnification, Magnification);
    if (scanner.oPolicy) {
        out["policy"] = Policy(*scanner.oPolicy);
    }
}

Json Scanner(const scanner_outcome& scanner) {
    Json out = {{"device", scanner.strDevice},
                {"status", ScannerStatusName(scanner.eStatus)},
                {"duration_seconds", scanner.dSeconds},
                {"messages", Messages(scanner.vMessages)}};
    if (HasData(scanner)) {
        AddScannerData(scanner, &out);
    }
    return out;
}

std::string Dump(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

// The document's head by the library with an empty list of scanners, then each scanner by the
// library, indented as the list's items: the same text as the whole document's, without the
// library's tree of a whole fleet in memory at once.
std::string RenderJson(const run_outcome& run, const program_info& program) {
    Json head = {{"json_format_version", {1, 1}},
                 {"program",
                  {{"name", program.cpName},
                   {"version", program.cpVersion},
                   {"exit_status", program.iExitStatus},
                   {"enumeration", EnumerationStatusName(run.eEnumeration)},
                   {"scanners_enumerated", run.iAttached},
                   {"duration_seconds", run.dSeconds},
                   {"messages", Messages(run.vMessages)}}},
                 {"scanners", Json::array()}};
    std::string text = Dump(head);
    if (run.vScanners.empty()) {
        return text + "\n";
    }
    text.resize(text.size() - std::strlen("]\n}"));  // the empty list's end and the document's
    const char* separator = "\n";
    for (const scanner_outcome& scanner : run.vScanners) {
        text += separator;
        std::string item = Dump(Scanner(scanner));
        for (size_t start = 0; start < item.size();) {
            size_t end = std::min(item.find('\n', start), item.size());
            text.append("    ").append(item, start, end + 1 - start);
            start = end + 1;
        }
        separator = ",\n";
    }
    text += "\n  ]\n}\n";
    return text;
}
