// Reading the policy file with toml++, every key and value checked before anything is used.
#include "fleet/policy.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <toml++/toml.h>

#include "consumables/power_off.h"
#include "fleet/file_text.h"

namespace {

constexpr int64_t kMaxSleepTimerMinutes = 1440;  // a day
constexpr int64_t kMaxLifeSheets = INT32_MAX;    // what the scanner's counters can count
constexpr std::streamsize kMaxPolicyBytes = 1 << 20;

// The file being read and the first fault found in it.
struct policy_reader {
    const std::string& strPath;
    std::string* pError;
};

bool Fail(const policy_reader& reader, const toml::source_region& where, const std::string& key,
          const std::string& what) {
    *reader.pError = reader.strPath + ":" + std::to_string(where.begin.line) + ":" +
                     std::to_string(where.begin.column) + ": " + (key.empty() ? "" : key + ": ") +
                     what;
    return false;
}

std::string Child(const std::string& parent, std::string_view key) {
    return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

bool ReadWhole(const policy_reader& reader, const toml::node& node, const std::string& key,
               int64_t hi, int64_t* value) {
    const toml::value<int64_t>* number = node.as_integer();
    if (number == nullptr || number->get() < 1 || number->get() > hi) {
        return Fail(reader, node.source(), key,
                    "not a whole number from 1 to " + std::to_string(hi));
    }
    *value = number->get();
    return true;
}

std::string PowerOffChoices() {
    std::string choices = kPowerOffInactiveText;
    for (const power_off_time& time : kPowerOffTimes) {
        choices += std::string(", ") + time.cpOptionText;
    }
    return choices;
}

bool ReadPowerOff(const policy_reader& reader, const toml::node& node, const std::string& key,
                  int* code) {
    const toml::value<std::string>* text = node.as_string();
    *code = text != nullptr ? PowerOffCodeOfText(text->get().c_str()) : -1;
    return *code >= 0 || Fail(reader, node.source(), key, "not one of " + PowerOffChoices());
}

const toml::table* AsTable(const policy_reader& reader, const toml::node& node,
                           const std::string& key) {
    const toml::table* table = node.as_table();
    if (table == nullptr) {
        Fail(reader, node.source(), key, "not a table");
    }
    return table;
}

bool ReadSettings(const policy_reader& reader, const toml::node& node, const std::string& key,
                  policy_settings* settings) {
    const toml::table* table = AsTable(reader, node, key);
    if (table == nullptr) {
        return false;
    }
    for (auto&& [name, value] : *table) {
        std::string path = Child(key, name.str());
        if (name == "sleep_timer_minutes") {
            int64_t minutes = 0;
            if (!ReadWhole(reader, value, path, kMaxSleepTimerMinutes, &minutes)) {
                return false;
            }
            settings->oSleepTimerMinutes = static_cast<int>(minutes);
        } else if (name == "power_off") {
            int code = 0;
            if (!ReadPowerOff(reader, value, path, &code)) {
                return false;
            }
            settings->oPowerOffCode = code;
        } else {
            return Fail(reader, name.source(), path, "unknown key");
        }
    }
    return true;
}

bool ReadLife(const policy_reader& reader, const toml::node& node, const std::string& key,
              policy_life* life) {
    const toml::table* table = AsTable(reader, node, key);
    if (table == nullptr) {
        return false;
    }
    for (auto&& [name, value] : *table) {
        std::string path = Child(key, name.str());
        const consumable_row* row = FindConsumable(std::string(name.str()));
        if (row == nullptr) {
            return Fail(reader, name.source(), path, "unknown key");
        }
        int64_t sheets = 0;
        if (!ReadWhole(reader, value, path, kMaxLifeSheets, &sheets)) {
            return false;
        }
        (*life)[static_cast<size_t>(row->eKind)] = static_cast<int32_t>(sheets);
    }
    return true;
}

bool ReadOverride(const policy_reader& reader, const toml::node& node, const std::string& key,
                  policy_override* scanner) {
    const toml::table* table = AsTable(reader, node, key);
    if (table == nullptr) {
        return false;
    }
    bool hasMatch = false;
    for (auto&& [name, value] : *table) {
        std::string path = Child(key, name.str());
        if (name == "match") {
            const toml::value<std::string>* pattern = value.as_string();
            if (pattern == nullptr) {
                return Fail(reader, value.source(), path, "not a text");
            }
            scanner->strMatch = pattern->get();
            hasMatch = true;
        } else if (name == "settings") {
            if (!ReadSettings(reader, value, path, &scanner->stSettings)) {
                return false;
            }
        } else if (name == "life") {
            if (!ReadLife(reader, value, path, &scanner->aLife)) {
                return false;
            }
        } else {
            return Fail(reader, name.source(), path, "unknown key");
        }
    }
    return hasMatch || Fail(reader, table->source(), key, "has no match");
}

bool ReadOverrides(const policy_reader& reader, const toml::node& node,
                   std::vector<policy_override>* scanners) {
    const toml::array* array = node.as_array();
    if (array == nullptr) {
        return Fail(reader, node.source(), "scanner", "not an array of tables");
    }
    for (size_t i = 0; i < array->size(); ++i) {
        policy_override scanner{};
        if (!ReadOverride(reader, (*array)[i], "scanner[" + std::to_string(i) + "]", &scanner)) {
            return false;
        }
        scanners->push_back(std::move(scanner));
    }
    return true;
}

bool ReadDocument(const policy_reader& reader, const toml::table& document, site_policy* policy) {
    for (auto&& [name, value] : document) {
        std::string key(name.str());
        bool read = name == "settings"  ? ReadSettings(reader, value, key, &policy->stSettings)
                    : name == "life"    ? ReadLife(reader, value, key, &policy->aLife)
                    : name == "scanner" ? ReadOverrides(reader, value, &policy->vScanners)
                                        : Fail(reader, name.source(), key, "unknown key");
        if (!read) {
            return false;
        }
    }
    return true;
}

// The file's text; false with *error when it cannot be read. Read with read(2), not a stream:
// the writing process of the status companion then maps none of the C++ streams.
bool ReadText(const std::string& path, std::string* text, std::string* error) {
    if (!ReadFileText(path, text)) {
        *error = path + ": cannot be read";
        return false;
    }
    return true;
}

bool CheckFile(const std::string& path, std::string* error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = path + ": not a regular file";
        return false;
    }
    if (status.st_size > kMaxPolicyBytes) {
        *error = path + ": larger than " + std::to_string(kMaxPolicyBytes) + " bytes";
        return false;
    }
    return true;
}

template <typename T>
void Take(std::optional<T>* into, const std::optional<T>& from) {
    if (!into->has_value()) {
        *into = from;
    }
}

void Merge(scanner_policy* into, const policy_settings& settings, const policy_life& life) {
    Take(&into->stSettings.oSleepTimerMinutes, settings.oSleepTimerMinutes);
    Take(&into->stSettings.oPowerOffCode, settings.oPowerOffCode);
    for (size_t i = 0; i < kConsumableCount; ++i) {
        Take(&into->aLife[i], life[i]);
    }
}

bool SetsSetting(const policy_settings& settings) {
    return settings.oSleepTimerMinutes || settings.oPowerOffCode;
}

}  // namespace

bool ParsePolicy(const std::string& text, const std::string& path, site_policy* policy,
                 std::string* error) {
    *policy = site_policy{};
    policy_reader reader{path, error};
    try {
        toml::table document = toml::parse(text, path);
        if (ReadDocument(reader, document, policy)) {
            return true;
        }
    } catch (const toml::parse_error& fault) {
        Fail(reader, fault.source(), "", std::string(fault.description()));
    }
    *policy = site_policy{};
    return false;
}

PolicyRead ReadPolicy(const std::string& path, bool mustExist, site_policy* policy,
                      std::string* error) {
    *policy = site_policy{};
    struct stat status {};
    if (!mustExist && stat(path.c_str(), &status) != 0 && errno == ENOENT) {
        return PolicyRead::kAbsent;
    }
    std::string text;
    if (!CheckFile(path, error) || !ReadText(path, &text, error) ||
        !ParsePolicy(text, path, policy, error)) {
        return PolicyRead::kInvalid;
    }
    return PolicyRead::kRead;
}

scanner_policy ResolvePolicy(const site_policy& policy, const std::string& deviceName) {
    scanner_policy resolved{};
    for (const policy_override& scanner : policy.vScanners) {
        if (fnmatch(scanner.strMatch.c_str(), deviceName.c_str(), 0) == 0) {
            Merge(&resolved, scanner.stSettings, scanner.aLife);
        }
    }
    Merge(&resolved, policy.stSettings, policy.aLife);
    return resolved;
}

bool SetsAnySetting(const site_policy& policy) {
    if (SetsSetting(policy.stSettings)) {
        return true;
    }
    for (const policy_override& scanner : policy.vScanners) {
        if (SetsSetting(scanner.stSettings)) {
            return true;
        }
    }
    return false;
}
