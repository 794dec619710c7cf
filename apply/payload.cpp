// The child's result as JSON, read back only when it is exactly what the encoder writes.
#include "apply/payload.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace {

using Json = nlohmann::ordered_json;

template <typename T>
Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

template <typename T>
std::optional<T> NullOr(const Json& json) {
    return json.is_null() ? std::nullopt : std::optional<T>(json.get<T>());
}

ApplyStatus ChildStatusNamed(const std::string& name) {
    for (const apply_status_row& row : kApplyStatuses) {
        bool parents = row.eStatus == ApplyStatus::kTimeout || row.eStatus == ApplyStatus::kAbsent;
        if (name == row.cpName && !parents) {
            return row.eStatus;
        }
    }
    throw std::invalid_argument("not a child's status");
}

Severity SeverityNamed(const std::string& name) {
    for (Severity severity : {Severity::kError, Severity::kWarning, Severity::kInfo}) {
        if (name == SeverityName(severity)) {
            return severity;
        }
    }
    throw std::invalid_argument("unknown severity");
}

PolicySetting SettingNamed(const std::string& key) {
    for (const policy_setting_row& row : kPolicySettings) {
        if (key == row.cpKey) {
            return row.eSetting;
        }
    }
    throw std::invalid_argument("unknown setting");
}

Json Encode(const apply_result& result) {
    Json messages = Json::array();
    for (const fleet_message& message : result.vMessages) {
        messages.push_back(
            {{"severity", SeverityName(message.eSeverity)}, {"text", message.strText}});
    }
    Json changes = Json::array();
    for (const setting_change& change : result.vChanges) {
        changes.push_back({{"setting", PolicySettingRowOf(change.eSetting).cpKey},
                           {"from", OrNull(change.oFrom)},
                           {"to", change.iTo},
                           {"applied", OrNull(change.oApplied)}});
    }
    return {{"status", ApplyStatusRowOf(result.eStatus).cpName},
            {"messages", std::move(messages)},
            {"changes", std::move(changes)}};
}

}  // namespace

std::string EncodeApplyResult(const apply_result& result) {
    return Encode(result).dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool DecodeApplyResult(const std::string& payload, apply_result* result) {
    try {
        Json document = Json::parse(payload);
        apply_result decoded{ChildStatusNamed(document.at("status").get<std::string>()), {}, {}};
        for (const Json& message : document.at("messages")) {
            decoded.vMessages.push_back({SeverityNamed(message.at("severity").get<std::string>()),
                                         message.at("text").get<std::string>()});
        }
        for (const Json& change : document.at("changes")) {
            decoded.vChanges.push_back({SettingNamed(change.at("setting").get<std::string>()),
                                        NullOr<long long>(change.at("from")),
                                        change.at("to").get<int>(),
                                        NullOr<bool>(change.at("applied"))});
        }
        // The library converts what it can (a fraction to a whole number, a number to a narrower
        // one) and ignores added keys: only a payload that the decoded result encodes to again is
        // exact. Compared as text, where 3.0 and 3 differ.
        if (Encode(decoded).dump() != document.dump()) {
            return false;
        }
        *result = std::move(decoded);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
