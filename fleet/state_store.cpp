// The state store: its file read strictly with nlohmann-json, changed under an flock of a lock
// file in the folder, and replaced atomically as the output files are.
#include "fleet/state_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "fleet/output.h"
#include "fleet/utf8.h"
#include "fleet/wire.h"

namespace {

using Json = nlohmann::json;

const char kStoreFileName[] = "readings.json";
const char kLockFileName[] = "readings.lock";
const char kCorruptSuffix[] = ".corrupt";
constexpr int kStoreFormat = 1;
// The latest time that RFC 3339 writes with four digits of year: 9999-12-31T23:59:59Z.
constexpr long long kLatestTime = 253402300799LL;
// How long a run waits for another run's change of the store: 10 s, 10 ms at a time.
constexpr int kLockAttempts = 1000;
constexpr long kLockPauseNanoseconds = 10L * 1000 * 1000;

// The store file: hidden while it is written, readable by those who read the outputs.
constexpr file_replacement kStoreFile = {".", ".", 0644, true};

std::string StorePath(const std::string& folder) {
    return folder + "/" + kStoreFileName;
}

void Warn(std::vector<fleet_message>* messages, const std::string& text) {
    messages->push_back({Severity::kWarning, ValidUtf8(text)});
}

// The object's keys must be exactly these.
void ExpectKeys(const Json& object, std::initializer_list<const char*> keys) {
    if (!object.is_object() || object.size() != keys.size()) {
        throw std::invalid_argument("an object with other keys than expected");
    }
    for (const char* key : keys) {
        if (!object.contains(key)) {
            throw std::invalid_argument(std::string("no key \"") + key + "\"");
        }
    }
}

long long TimeOf(const Json& value) {
    long long time = value.get<long long>();
    if (!value.is_number_integer() || time < 0 || time > kLatestTime) {
        throw std::invalid_argument("a time out of range");
    }
    return time;
}

int32_t SheetsOf(const Json& value) {
    if (!value.is_number_integer() || value.get<long long>() < INT32_MIN ||
        value.get<long long>() > INT32_MAX) {
        throw std::invalid_argument("sheets out of range");
    }
    return value.get<int32_t>();
}

Json ReplacementsToJson(const consumable_replacements& replaced) {
    Json object = Json::object();
    for (const consumable_row& row : kConsumables) {
        const std::optional<consumable_replacement>& one = replaced[static_cast<size_t>(row.eKind)];
        if (one) {
            object[row.cpId] = {{"at", one->llAt}, {"sheets_before", one->iSheetsBefore}};
        }
    }
    return object;
}

consumable_replacements ReplacementsFromJson(const Json& object) {
    if (!object.is_object()) {
        throw std::invalid_argument("replacements that are not an object");
    }
    consumable_replacements replaced{};
    for (const auto& [id, value] : object.items()) {
        const consumable_row* row = FindConsumable(id);
        if (row == nullptr) {
            throw std::invalid_argument("an unknown consumable \"" + id + "\"");
        }
        ExpectKeys(value, {"at", "sheets_before"});
        replaced[static_cast<size_t>(row->eKind)] =
            consumable_replacement{TimeOf(value.at("at")), SheetsOf(value.at("sheets_before"))};
    }
    return replaced;
}

stored_reading ReadingFromJson(const std::string& key, const Json& entry) {
    ExpectKeys(entry, {"device", "read_at", "report", "replaced"});
    stored_reading reading{entry.at("device").get<std::string>(),
                           TimeOf(entry.at("read_at")),
                           {},
                           ReplacementsFromJson(entry.at("replaced"))};
    if (!ReportViewFromJson(entry.at("report"), &reading.stReport)) {
        throw std::invalid_argument("the report of \"" + key + "\" is not a scanner's report");
    }
    return reading;
}

// How reading the store file ended.
enum class FileRead { kRead, kMissing, kUnreadable };

FileRead ReadText(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return errno == ENOENT ? FileRead::kMissing : FileRead::kUnreadable;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        return FileRead::kUnreadable;
    }
    *text = content.str();
    return FileRead::kRead;
}

// The lock file's descriptor, locked; -1 with a warning when the lock cannot be had.
int LockFolder(const std::string& folder, std::vector<fleet_message>* messages) {
    std::string path = folder + "/" + kLockFileName;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        Warn(messages, "the readings of this run are not stored: cannot open " + path + ": " +
                           std::strerror(errno));
        return -1;
    }
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return fd;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            break;
        }
        timespec pause{0, kLockPauseNanoseconds};
        nanosleep(&pause, nullptr);
    }
    Warn(messages, "the readings of this run are not stored: cannot lock " + path + ": " +
                       std::strerror(errno == EWOULDBLOCK ? EBUSY : errno));
    close(fd);
    return -1;
}

// The store as the file holds it; false (with a warning) when it is there but cannot be used:
// unreadable, or not valid and then set aside.
bool ReadLocked(const std::string& path, reading_store* store,
                std::vector<fleet_message>* messages) {
    std::string text;
    std::string why;
    switch (ReadText(path, &text)) {
        case FileRead::kMissing:
            return true;
        case FileRead::kUnreadable:
            Warn(messages, "the readings of this run are not stored: cannot read " + path + ": " +
                               std::strerror(errno));
            return false;
        case FileRead::kRead:
            break;
    }
    if (DecodeStore(text, store, &why)) {
        return true;
    }
    std::string aside = path + kCorruptSuffix;
    if (rename(path.c_str(), aside.c_str()) != 0) {
        Warn(messages, "the readings of this run are not stored: " + path + " is not valid (" +
                           why + ") and cannot be set aside: " + std::strerror(errno));
        return false;
    }
    Warn(messages,
         "the stored readings " + path + " were not valid (" + why + "); set aside as " + aside);
    store->clear();
    return true;
}

// Puts in the run's fresh readings; true when one was put in.
bool PutReadings(const run_outcome& run, reading_store* store) {
    bool changed = false;
    for (const scanner_outcome& scanner : run.vScanners) {
        if (scanner.eStatus != ScannerStatus::kOk) {
            continue;
        }
        std::string key = StoreKey(scanner.strName);
        auto found = store->find(key);
        if (found != store->end() && found->second.llReadAt > scanner.llReadAt) {
            continue;  // another run stored a later reading meanwhile
        }
        (*store)[key] = stored_reading{scanner.strDevice, scanner.llReadAt, scanner.stReport,
                                       scanner.aReplaced};
        changed = true;
    }
    return changed;
}

bool IsStale(const stored_reading& reading, long long now) {
    return now - reading.llReadAt > kStoredReadingLifeSeconds;
}

// Drops the readings of scanners not seen for 90 days; true when one was dropped.
bool DropStale(long long now, reading_store* store) {
    bool changed = false;
    for (auto it = store->begin(); it != store->end();) {
        if (IsStale(it->second, now)) {
            it = store->erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    return changed;
}

const consumable_view* FindCounter(const report_view& report, ConsumableKind kind) {
    for (const consumable_view& counter : report.vConsumables) {
        if (counter.eKind == kind) {
            return &counter;
        }
    }
    return nullptr;
}

// The stored replacements, with those that the fresh reading shows.
consumable_replacements Replacements(const stored_reading& stored, const report_view& fresh,
                                     long long now) {
    consumable_replacements replaced = stored.aReplaced;
    for (const consumable_view& counter : fresh.vConsumables) {
        const consumable_view* before = FindCounter(stored.stReport, counter.eKind);
        if (before != nullptr && counter.iSheets < before->iSheets) {
            replaced[static_cast<size_t>(counter.eKind)] =
                consumable_replacement{now, before->iSheets};
        }
    }
    return replaced;
}

bool TakesStoredData(ScannerStatus status) {
    return status == ScannerStatus::kBusy || status == ScannerStatus::kTimeout ||
           status == ScannerStatus::kError;
}

}  // namespace

std::string StoreKey(const std::string& name) {
    std::string valid = ValidUtf8(name);
    if (valid == name && valid.find("\xef\xbf\xbd") == std::string::npos) {
        return name;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string key = valid + " ";
    for (unsigned char byte : name) {
        key += kDigits[byte >> 4];
        key += kDigits[byte & 0x0f];
    }
    return key;
}

std::string EncodeStore(const reading_store& store) {
    Json readings = Json::object();
    for (const auto& [key, reading] : store) {
        readings[key] = {{"device", reading.strDevice},
                         {"read_at", reading.llReadAt},
                         {"report", ReportViewToJson(reading.stReport)},
                         {"replaced", ReplacementsToJson(reading.aReplaced)}};
    }
    Json document = {{"store_format", kStoreFormat}, {"readings", std::move(readings)}};
    return document.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool DecodeStore(const std::string& text, reading_store* store, std::string* why) {
    store->clear();
    try {
        Json document = Json::parse(text);
        ExpectKeys(document, {"store_format", "readings"});
        const Json& format = document.at("store_format");
        if (!format.is_number_integer() || format != kStoreFormat) {
            throw std::invalid_argument("an unknown store format");
        }
        const Json& readings = document.at("readings");
        if (!readings.is_object()) {
            throw std::invalid_argument("readings that are not an object");
        }
        for (const auto& [key, entry] : readings.items()) {
            store->emplace(key, ReadingFromJson(key, entry));
        }
        return true;
    } catch (const std::exception& fault) {
        *why = ValidUtf8(fault.what());
        store->clear();
        return false;
    }
}

bool PrepareStateFolder(const std::string& folder, std::vector<fleet_message>* messages) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        Warn(messages, "no reading is stored or used: the state folder " + folder +
                           " cannot be created: " + error.message());
        return false;
    }
    if (access(folder.c_str(), R_OK | W_OK | X_OK) != 0) {
        Warn(messages, "no reading is stored or used: the state folder " + folder +
                           " cannot be written: " + std::strerror(errno));
        return false;
    }
    return true;
}

reading_store LoadReadings(const std::string& folder) {
    reading_store store;
    std::string text;
    std::string why;
    if (ReadText(StorePath(folder), &text) == FileRead::kRead) {
        DecodeStore(text, &store, &why);
    }
    return store;
}

void CombineWithStore(const reading_store& store, long long now, run_outcome* run) {
    for (scanner_outcome& scanner : run->vScanners) {
        auto found = store.find(StoreKey(scanner.strName));
        const stored_reading* stored =
            found != store.end() && !IsStale(found->second, now) ? &found->second : nullptr;
        if (scanner.eStatus == ScannerStatus::kOk) {
            scanner.llReadAt = now;
            if (stored != nullptr) {
                scanner.aReplaced = Replacements(*stored, scanner.stReport, now);
            }
        } else if (stored != nullptr && TakesStoredData(scanner.eStatus)) {
            scanner.bCached = true;
            scanner.stReport = stored->stReport;
            scanner.llReadAt = stored->llReadAt;
            scanner.aReplaced = stored->aReplaced;
        }
    }
}

void SaveReadings(const std::string& folder, const run_outcome& run, long long now,
                  std::vector<fleet_message>* messages) {
    int lock = LockFolder(folder, messages);
    if (lock < 0) {
        return;
    }
    std::string path = StorePath(folder);
    reading_store store;
    std::string error;
    if (ReadLocked(path, &store, messages)) {
        bool changed = PutReadings(run, &store);
        changed = DropStale(now, &store) || changed;
        if (changed && !ReplaceFileAtomically(path, EncodeStore(store), kStoreFile, &error)) {
            Warn(messages, "the readings of this run are not stored: " + error);
        }
    }
    close(lock);  // ends the flock
}
