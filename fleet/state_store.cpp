// The state store: its file read strictly with nlohmann-json, changed under an flock of a lock
// file in the folder, and replaced atomically as the output files are.
#include "fleet/state_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "fleet/file_text.h"
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
    if (ReadFileText(path, text)) {
        return FileRead::kRead;
    }
    return errno == ENOENT ? FileRead::kMissing : FileRead::kUnreadable;
}

// Creates the folder and its parents (mode 0755 less the umask); false with errno set.
bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    if (stat(folder.c_str(), &status) != 0) {
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
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

// The store as the file holds it (none: empty). False, with a warning, when it cannot be read, or
// is not valid and cannot be set aside; one that is not valid and set aside leaves the store
// empty, with a warning.
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

// One reading at a time, never the whole store in the library's tree: the library writes each key
// and entry, the loop only joins them, one entry a line.
std::string EncodeStore(const reading_store& store) {
    std::string text = "{\"store_format\": " + std::to_string(kStoreFormat) + ", \"readings\": {";
    const char* separator = "\n";
    for (const auto& [key, reading] : store) {
        Json entry = {{"device", reading.strDevice},
                      {"read_at", reading.llReadAt},
                      {"report", ReportViewToJson(reading.stReport)},
                      {"replaced", ReplacementsToJson(reading.aReplaced)}};
        text += separator;
        text += Json(key).dump(-1, ' ', false, Json::error_handler_t::replace);
        text += ": ";
        text += entry.dump(-1, ' ', false, Json::error_handler_t::replace);
        separator = ",\n";
    }
    return text + "\n}}\n";
}

// Each entry of "readings" is taken out of the library's tree as soon as it is read, so that the
// tree never holds more than one reading.
bool DecodeStore(const std::string& text, reading_store* store, std::string* why) {
    store->clear();
    std::string section;  // the top-level key being read
    std::string key;      // the entry of "readings" being read
    auto take = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::key && depth <= 2) {
            (depth == 1 ? section : key) = parsed.get<std::string>();
        } else if (event == Json::parse_event_t::object_end && depth == 2 &&
                   section == "readings") {
            store->emplace(key, ReadingFromJson(key, parsed));
            return false;
        }
        return true;
    };
    try {
        Json document = Json::parse(text, take);
        ExpectKeys(document, {"store_format", "readings"});
        const Json& format = document.at("store_format");
        if (!format.is_number_integer() || format != kStoreFormat) {
            throw std::invalid_argument("an unknown store format");
        }
        const Json& readings = document.at("readings");
        if (!readings.is_object()) {
            throw std::invalid_argument("readings that are not an object");
        }
        if (!readings.empty()) {
            throw std::invalid_argument("a reading that is not an object");
        }
        return true;
    } catch (const std::exception& fault) {
        *why = ValidUtf8(fault.what());
        store->clear();
        return false;
    }
}

bool PrepareStateFolder(const std::string& folder, std::vector<fleet_message>* messages) {
    if (!MakeFolders(folder)) {
        Warn(messages, "no reading is stored or used: the state folder " + folder +
                           " cannot be created: " + std::strerror(errno));
        return false;
    }
    if (access(folder.c_str(), R_OK | W_OK | X_OK) != 0) {
        Warn(messages, "no reading is stored or used: the state folder " + folder +
                           " cannot be written: " + std::strerror(errno));
        return false;
    }
    return true;
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

void UseAndStoreReadings(const std::string& folder, long long now, run_outcome* run,
                         std::vector<fleet_message>* messages) {
    int lock = LockFolder(folder, messages);
    if (lock < 0) {
        CombineWithStore({}, now, run);
        return;
    }
    std::string path = StorePath(folder);
    reading_store store;
    bool readable = ReadLocked(path, &store, messages);
    CombineWithStore(store, now, run);
    std::string error;
    if (readable) {
        bool changed = PutReadings(*run, &store);
        changed = DropStale(now, &store) || changed;
        if (changed && !ReplaceFileAtomically(path, EncodeStore(store), kStoreFile, &error)) {
            Warn(messages, "the readings of this run are not stored: " + error);
        }
    }
    close(lock);  // ends the flock
}
