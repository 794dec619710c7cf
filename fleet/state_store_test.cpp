// Tests of the state store: its keys, its file, what a run takes from it and how a run's readings
// go into it.
#include "fleet/state_store.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "fleet/utf8.h"
#include "fleet/wire.h"
#include "tests/support/files.h"

namespace {

using Names = std::vector<std::string>;
using S = ScannerStatus;

constexpr long long kNow = 1796720400;  // 2026-12-08T09:00:00Z
constexpr long long kDay = 24 * 60 * 60;

// A scanner with three counters: after cleaning, brake roller and pick roller (the wire's tests
// carry every other field of a report).
report_view Report(int32_t cleaning, int32_t brake, int32_t pick) {
    report_view report{};
    report.strProductId = "ko-330xs";
    report.vConsumables = {
        {ConsumableKind::kAfterCleaning, "After cleaning:", cleaning, CounterMarks::kNone, true},
        {ConsumableKind::kBrakeRoller, "Brake Roller:", brake, CounterMarks::kFirst, true},
        {ConsumableKind::kPickRoller, "Pick Roller:", pick, CounterMarks::kNone, true},
    };
    return report;
}

consumable_replacements Replaced(ConsumableKind kind, long long at, int32_t before) {
    consumable_replacements replaced{};
    replaced[static_cast<size_t>(kind)] = consumable_replacement{at, before};
    return replaced;
}

scanner_outcome Scanner(const std::string& name, ScannerStatus status, report_view report = {},
                        long long readAt = 0) {
    scanner_outcome scanner{ValidUtf8(name), status, 0, {}, std::move(report), name};
    scanner.llReadAt = readAt;
    return scanner;
}

// A reading as text: "@<read at> <each counter's sheets>/... [<replaced id> <sheets>@<at>, ...]".
std::string Describe(long long readAt, const report_view& report,
                     const consumable_replacements& replaced) {
    std::string sheets, replacements;
    for (const consumable_view& counter : report.vConsumables) {
        sheets += (sheets.empty() ? "" : "/") + std::to_string(counter.iSheets);
    }
    for (const consumable_row& row : kConsumables) {
        if (const auto& one = replaced[static_cast<size_t>(row.eKind)]) {
            replacements += (replacements.empty() ? "" : ", ") + std::string(row.cpId) + " " +
                            std::to_string(one->iSheetsBefore) + "@" + std::to_string(one->llAt);
        }
    }
    return "@" + std::to_string(readAt) + " " + sheets + " [" + replacements + "]";
}

// The texts of the messages, each of them a warning.
Names Warnings(const std::vector<fleet_message>& messages) {
    Names texts;
    for (const fleet_message& message : messages) {
        EXPECT_EQ(message.eSeverity, Severity::kWarning) << message.strText;
        texts.push_back(message.strText);
    }
    return texts;
}

TEST(StoreKey, NamesThatReadTheSameOnceRepairedNeverShareAKey) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"ko-330xs:KV33A0001", "ko-330xs:KV33A0001"},
        {"", ""},
        {"x\xff", "x\xef\xbf\xbd 78ff"},
        {"x\xfe", "x\xef\xbf\xbd 78fe"},
        // A valid name that holds U+FFFD is written out too, so that it cannot meet a repaired one.
        {"x\xef\xbf\xbd", "x\xef\xbf\xbd 78efbfbd"},
        {"x\xef\xbf\xbd 78ff", "x\xef\xbf\xbd 78ff 78efbfbd2037386666"},
    };
    for (const auto& [name, key] : rows) {
        EXPECT_EQ(StoreKey(name), key) << name;
    }
}

// A JSON patch that puts the value at the path.
nlohmann::json Setting(const std::string& path, const nlohmann::json& value) {
    return nlohmann::json::array({{{"op", "add"}, {"path", path}, {"value", value}}});
}

// What the file holds is read back whole by the store's runs below.
TEST(StoreFile, AnythingElseIsRefusedWithItsReason) {
    const std::string valid = EncodeStore(
        {{"A", {"A", kNow, Report(120, 5000, 6000), Replaced(ConsumableKind::kPad, kNow, 7)}}});
    const std::string otherKeys = "an object with other keys than expected",
                      badTime = "a time out of range";
    // Each row changes the valid file by a JSON patch; text that is no JSON is set aside below.
    const std::vector<std::pair<nlohmann::json, std::string>> rows = {
        {Setting("", nlohmann::json::array()), otherKeys},
        {Setting("/store_format", 2), "an unknown store format"},
        {Setting("/store_format", 1.0), "an unknown store format"},
        {Setting("/extra", 1), otherKeys},
        {Setting("/readings", nlohmann::json::array()), "readings that are not an object"},
        {Setting("/readings/A", 5), "a reading that is not an object"},
        {Setting("/readings/A/read_at", -1), badTime},
        {Setting("/readings/A/read_at", 1.5), badTime},
        {Setting("/readings/A/read_at", 253402300800), badTime},
        // What a report refuses is the wire's (ReportViewFromJson); the store names the reading.
        {Setting("/readings/A/report/iAdfSheets", 1.5),
         "the report of \"A\" is not a scanner's report"},
        {nlohmann::json::parse(R"([{"op": "move", "from": "/readings/A/replaced/pad",
                                    "path": "/readings/A/replaced/wheel"}])"),
         "an unknown consumable \"wheel\""},
        {Setting("/readings/A/replaced/pad/sheets_before", 2147483648), "sheets out of range"},
        {nlohmann::json::parse(R"([{"op": "remove", "path": "/readings/A/replaced/pad/at"}])"),
         otherKeys},
    };
    for (const auto& [patch, reason] : rows) {
        reading_store read{{"stale", {}}};
        std::string why;
        EXPECT_FALSE(DecodeStore(nlohmann::json::parse(valid).patch(patch).dump(), &read, &why))
            << patch;
        EXPECT_EQ(why, reason) << patch;
        EXPECT_TRUE(read.empty());
    }
}

TEST(CombineWithStore, FreshReadingsFindReplacementsAndScannersNotReadTakeTheStoredData) {
    const long long before = kNow - 3600;
    const reading_store store = {
        {"A",
         {"A", before, Report(120, 5000, 6000),
          Replaced(ConsumableKind::kPickRoller, before - kDay, 9000)}},
        {"old", {"old", kNow - 90 * kDay - 1, Report(1, 2, 3), {}}},
        {"edge", {"edge", kNow - 90 * kDay, Report(1, 2, 3), {}}},
        {StoreKey("x\xff"), {"x\xef\xbf\xbd", before, Report(1, 2, 3), {}}}};
    const std::string cached = "cached @1796716800 120/5000/6000 [pick_roller 9000@1796630400]";
    struct Case {
        scanner_outcome scanner;
        std::string expected;  // cached or fresh, then Describe()
    };
    const std::vector<Case> cases = {
        // A counter lower than the stored one: replaced now; the stored replacement stays.
        {Scanner("A", S::kOk, Report(130, 100, 6100)),
         "fresh @1796720400 130/100/6100 [brake_roller 5000@1796720400, pick_roller "
         "9000@1796630400]"},
        {Scanner("A", S::kOk, Report(120, 5000, 6000)),
         "fresh @1796720400 120/5000/6000 [pick_roller 9000@1796630400]"},
        {Scanner("A", S::kBusy), cached},
        {Scanner("A", S::kTimeout), cached},
        {Scanner("A", S::kError), cached},
        {Scanner("A", S::kAbsent), "fresh @0  []"},
        // Not seen for more than 90 days: as if there were no stored reading.
        {Scanner("old", S::kBusy), "fresh @0  []"},
        {Scanner("edge", S::kBusy), "cached @1788944400 1/2/3 []"},
        {Scanner("new", S::kBusy), "fresh @0  []"},
        {Scanner("new", S::kOk, Report(1, 1, 1)), "fresh @1796720400 1/1/1 []"},
        // The same once repaired, but another scanner.
        {Scanner("x\xfe", S::kBusy), "fresh @0  []"},
        {Scanner("x\xff", S::kBusy), "cached @1796716800 1/2/3 []"},
    };
    for (const Case& c : cases) {
        run_outcome run{EnumerationStatus::kOk, 1, 0, {}, {c.scanner}};
        CombineWithStore(store, kNow, &run);
        const scanner_outcome& got = run.vScanners[0];
        EXPECT_EQ((got.bCached ? "cached " : "fresh ") +
                      Describe(got.llReadAt, got.stReport, got.aReplaced),
                  c.expected)
            << c.scanner.strName << " " << ScannerStatusName(got.eStatus);
    }
}

// The busy scanner of a run has a name that is not valid UTF-8 (its key and device repaired in
// the file) and, when it takes the stored reading, the whole stored report.
TEST(UseAndStoreReadings, PutsInTheFreshReadingsUnderTheLockKeepsTheOthersAndDropsTheStale) {
    const stored_reading fresh{"B", kNow, Report(5, 5, 5), Replaced(ConsumableKind::kPad, kNow, 7)},
        kept{"x\xef\xbf\xbd", kNow - 60, Report(1, 1, 1),
             Replaced(ConsumableKind::kPad, kNow - kDay, 7)},
        stale{"old", kNow - 91 * kDay, Report(2, 2, 2), {}},
        later{"later", kNow + 60, Report(3, 3, 3), {}};
    const std::string repaired = StoreKey("x\xff");
    const std::string stored = EncodeStore({{repaired, kept}, {"old", stale}, {"later", later}});
    scanner_outcome b = Scanner("B", S::kOk, fresh.stReport, kNow);
    b.aReplaced = fresh.aReplaced;
    const scanner_outcome busy = Scanner("x\xff", S::kBusy);
    const std::vector<scanner_outcome> mixed = {b, Scanner("later", S::kOk, Report(4, 4, 4), kNow),
                                                busy};
    const reading_store all = {{"B", fresh}, {"later", later}, {repaired, kept}},
                        unread = {{"later", later}, {repaired, kept}};
    const std::string notJson =
        "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error while "
        "parsing value - invalid literal; last read: 'no'";
    struct Case {
        std::string before;  // the store file's text; empty: none
        std::vector<scanner_outcome> run;
        reading_store after;  // what the store file then holds (none: no file)
        std::string invalid;  // why the file before was set aside as ".corrupt"; empty: it was not
        bool busyCached;      // the busy scanner is given the stored reading
    };
    const std::vector<Case> cases = {
        {"", {b}, {{"B", fresh}}, "", false},
        {stored, mixed, all, "", true},
        {"not a store", {b}, {{"B", fresh}}, notJson, false},
        // Nothing fresh: the stale reading goes all the same, and an invalid store is set aside.
        {stored, {busy}, unread, "", true},
        {"{}", {busy}, {}, "an object with other keys than expected", false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.path() + "/readings.json";
        if (!c.before.empty()) {
            WriteWholeFile(path, c.before);
        }
        std::vector<fleet_message> messages;
        run_outcome run{EnumerationStatus::kOk, 1, 0, {}, c.run};
        UseAndStoreReadings(dir.path(), kNow, &run, &messages);
        Names expected, files = {"readings.lock"};  // files in the order of their names
        if (!c.invalid.empty()) {
            expected.push_back("the stored readings " + path + " were not valid (" + c.invalid +
                               "); set aside as " + path + ".corrupt");
            files.insert(files.begin(), "readings.json.corrupt");
        }
        if (!c.after.empty()) {
            files.insert(files.begin(), "readings.json");
        }
        EXPECT_EQ(Warnings(messages), expected);
        EXPECT_EQ(ReadWholeFile(path + ".corrupt"), c.invalid.empty() ? "" : c.before);
        EXPECT_EQ(ReadWholeFile(path), c.after.empty() ? "" : EncodeStore(c.after));
        EXPECT_EQ(run.vScanners.back().bCached, c.busyCached);
        EXPECT_EQ(run.vScanners.back().stReport == Report(1, 1, 1), c.busyCached);
        EXPECT_EQ(FolderEntries(dir.path()), files) << "no temporary file is left";
    }
}

// A missing folder is created: the stored readings' whole runs keep theirs in one.
TEST(StateFolder, AProblemIsOneWarningNeverAFailure) {
    TempDir dir;
    std::vector<fleet_message> messages;
    WriteWholeFile(dir.path() + "/file", "");
    EXPECT_FALSE(PrepareStateFolder(dir.path() + "/file/state", &messages));
    const std::string missing = dir.path() + "/missing";
    run_outcome run{EnumerationStatus::kOk, 1, 0, {}, {Scanner("A", S::kOk)}};
    UseAndStoreReadings(missing, kNow, &run, &messages);
    EXPECT_EQ(run.vScanners[0].llReadAt, kNow) << "the run goes on without the store";
    const std::string notMade = "no reading is stored or used: the state folder " + dir.path() +
                                "/file/state cannot be created: Not a directory";
    EXPECT_EQ(Warnings(messages),
              (Names{notMade, "the readings of this run are not stored: cannot open " + missing +
                                  "/readings.lock: No such file or directory"}));
}

}  // namespace
