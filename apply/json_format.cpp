// The JSON document, built with nlohmann-json in the key order of the schema.
#include "apply/json_format.h"

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

// A sleep timer as its minutes, a power-off as the tool's --power-off text.
Json Value(PolicySetting setting, long long value) {
    return setting == PolicySetting::kSleepTimer ? Json(value)
                                                 : Json(SettingValueText(setting, value));
}

Json Changes(const std::vector<setting_change>& changes) {
    Json list = Json::array();
    for (const setting_change& change : changes) {
        list.push_back({{"setting", PolicySettingRowOf(change.eSetting).cpKey},
                        {"from", change.oFrom ? Value(change.eSetting, *change.oFrom) : nullptr},
                        {"to", Value(change.eSetting, change.iTo)},
                        {"applied", change.oApplied ? Json(*change.oApplied) : nullptr}});
    }
    return list;
}

}  // namespace

std::string RenderApplyJson(const apply_run& run, const program_info& program) {
    Json scanners = Json::array();
    for (const apply_scanner& scanner : run.vScanners) {
        scanners.push_back({{"device", scanner.strDevice},
                            {"status", ApplyStatusRowOf(scanner.eStatus).cpName},
                            {"messages", Messages(scanner.vMessages)},
                            {"changes", Changes(scanner.vChanges)}});
    }
    Json document = {{"json_format_version", {1, 0}},
                     {"program",
                      {{"name", program.cpName},
                       {"version", program.cpVersion},
                       {"exit_status", program.iExitStatus},
                       {"check", run.bCheck},
                       {"changed", AnyChanged(run)},
                       {"enumeration", EnumerationStatusName(run.eEnumeration)},
                       {"messages", Messages(run.vMessages)}}},
                     {"scanners", std::move(scanners)}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
