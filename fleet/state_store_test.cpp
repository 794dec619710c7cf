// Tests of the state store: its keys, its file, what a run takes from it and how a run's readings
// go into it.
#include "fleet/state_store.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "fleet/utf8.h"
#include "fleet/wire.h"
#include "tests/support/files.h"

namespace {

constexpr long long kNow = 1796720400;  // 2026-12-08T09:00:00Z
constexpr long long kDay = 24 * 60 * 60;

// A scanner with three counters: after cleaning, brake roller and pick roller.
report_view Report(int32_t cleaning, int32_t brake, int32_t pick) {
    report_view report{};
    report.strProductId = "ko-330xs";
    report.strRevision = "1.00";
    report.strSerialNumber = "S1";
    report.iAdfSheets = 100;
    report.vConsumables = {
        {ConsumableKind::kAfterCleaning, "After cleaning:", cleaning, CounterMarks::kNone, true},
        {ConsumableKind::kBrakeRoller, "Brake Roller:", brake, CounterMarks::kFirst, true},
        {ConsumableKind::kPickRoller, "Pick Roller:", pick, CounterMarks::kNone, true},
    };
    report.oSleepTimer = sleep_timer_view{15, 5, 60};
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

// The replacements as text: "brake_roller 5000@1796720400".
std::string Describe(const consumable_replacements& replaced) {
    std::string text;
    for (const consumable_row& row : kConsumables) {
        const auto& one = replaced[static_cast<size_t>(row.eKind)];
        if (one) {
            text += (text.empty() ? "" : ", ") + std::string(row.cpId) + " " +
                    std::to_string(one->iSheetsBefore) + "@" + std::to_string(one->llAt);
        }
    }
    return text;
}

// A stored reading as text, its report by the sheets of its counters.
std::string Describe(const std::string& key, const stored_reading& reading) {
    std::string sheets;
    for (const consumable_view& counter : reading.stReport.vConsumables) {
        sheets += (sheets.empty() ? "" : "/") + std::to_string(counter.iSheets);
    }
    return key + " (" + reading.strDevice + ") @" + std::to_string(reading.llReadAt) + " " +
           sheets + " [" + Describe(reading.aReplaced) + "]";
}

std::vector<std::string> Describe(const reading_store& store) {
    std::vector<std::string> lines;
    for (const auto& [key, reading] : store) {
        lines.push_back(Describe(key, reading));
    }
    return lines;
}

// The store that the folder holds (none: empty).
reading_store Stored(const std::string& folder) {
    reading_store store;
    std::string why;
    std::string text = ReadWholeFile(folder + "/readings.json");
    EXPECT_TRUE(text.empty() || DecodeStore(text, &store, &why)) << why;
    return store;
}

TEST(StoreKey, NamesThatReadTheSameOnceRepairedNeverShareAKey) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"ko-330xs:KV33A0001", "ko-330xs:KV33A0001"},
        {"", ""},
        {"a b\\c", "a b\\c"},
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

TEST(StoreFile, IsReadBackWholeAndAnythingElseIsRefusedWithItsReason) {
    reading_store store;
    store["A"] = {"A", kNow, Report(120, 5000, 6000),
                  Replaced(ConsumableKind::kPad, kNow - kDay, 7)};
    store["x\xef\xbf\xbd 78ff"] = {"x\xef\xbf\xbd", kNow - 5, Report(1, 2, 3), {}};
    reading_store read;
    std::string why;
    ASSERT_TRUE(DecodeStore(EncodeStore(store), &read, &why)) << why;
    EXPECT_EQ(Describe(read), Describe(store));
    EXPECT_TRUE(read["A"].stReport == store["A"].stReport);

    // Each row changes the valid file by a JSON patch; text that is no JSON is set aside below.
    const nlohmann::json valid = nlohmann::json::parse(EncodeStore(store));
    const std::vector<std::pair<std::string, std::string>> rows = {
        {R"([{"op": "replace", "path": "", "value": []}])",
         "an object with other keys than expected"},
        {R"([{"op": "replace", "path": "/store_format", "value": 2}])", "an unknown store format"},
        {R"([{"op": "replace", "path": "/store_format", "value": 1.0}])",
         "an unknown store format"},
        {R"([{"op": "add", "path": "/extra", "value": 1}])",
         "an object with other keys than expected"},
        {R"([{"op": "replace", "path": "/readings", "value": []}])",
         "readings that are not an object"},
        {R"([{"op": "replace", "path": "/readings/A", "value": 5}])",
         "a reading that is not an object"},
        {R"([{"op": "remove", "path": "/readings/A/replaced"}])",
         "an object with other keys than expected"},
        {R"([{"op": "replace", "path": "/readings/A/read_at", "value": -1}])",
         "a time out of range"},
        {R"([{"op": "replace", "path": "/readings/A/read_at", "value": 1.5}])",
         "a time out of range"},
        {R"([{"op": "replace", "path": "/readings/A/read_at", "value": 253402300800}])",
         "a time out of range"},
        // What a report refuses is the wire's (ReportViewFromJson); the store names the reading.
        {R"([{"op": "replace", "path": "/readings/A/report/iAdfSheets", "value": 1.5}])",
         "the report of \"A\" is not a scanner's report"},
        {R"([{"op": "move", "from": "/readings/A/replaced/pad", "path": "/readings/A/replaced/wheel"}])",
         "an unknown consumable \"wheel\""},
        {R"([{"op": "replace", "path": "/readings/A/replaced/pad/sheets_before", "value": 2147483648}])",
         "sheets out of range"},
        {R"([{"op": "remove", "path": "/readings/A/replaced/pad/at"}])",
         "an object with other keys than expected"},
    };
    for (const auto& [patch, reason] : rows) {
        EXPECT_FALSE(DecodeStore(valid.patch(nlohmann::json::parse(patch)).dump(), &read, &why))
            << patch;
        EXPECT_EQ(why, reason) << patch;
        EXPECT_TRUE(read.empty());
    }
}

TEST(CombineWithStore, FreshReadingsFindReplacementsAndScannersNotReadTakeTheStoredData) {
    const long long before = kNow - 3600;
    reading_store store;
    store["A"] = {"A", before, Report(120, 5000, 6000),
                  Replaced(ConsumableKind::kPickRoller, before - kDay, 9000)};
    store["old"] = {"old", kNow - 90 * kDay - 1, Report(1, 2, 3), {}};
    store["edge"] = {"edge", kNow - 90 * kDay, Report(1, 2, 3), {}};
    store["x\xef\xbf\xbd 78ff"] = {"x\xef\xbf\xbd", before, Report(1, 2, 3), {}};
    struct Case {
        scanner_outcome scanner;
        std::string expected;  // status, cached, read time, counters, replacements
    };
    const std::vector<Case> cases = {
        // A counter lower than the stored one: replaced now; the stored replacement stays.
        {Scanner("A", ScannerStatus::kOk, Report(130, 100, 6100)),
         "ok fresh @1796720400 130/100/6100 [brake_roller 5000@1796720400, pick_roller "
         "9000@1796630400]"},
        {Scanner("A", ScannerStatus::kOk, Report(120, 5000, 6000)),
         "ok fresh @1796720400 120/5000/6000 [pick_roller 9000@1796630400]"},
        {Scanner("A", ScannerStatus::kBusy),
         "busy cached @1796716800 120/5000/6000 [pick_roller 9000@1796630400]"},
        {Scanner("A", ScannerStatus::kTimeout),
         "timeout cached @1796716800 120/5000/6000 [pick_roller 9000@1796630400]"},
        {Scanner("A", ScannerStatus::kError),
         "error cached @1796716800 120/5000/6000 [pick_roller 9000@1796630400]"},
        {Scanner("A", ScannerStatus::kAbsent), "absent fresh @0  []"},
        // Not seen for more than 90 days: as if there were no stored reading.
        {Scanner("old", ScannerStatus::kBusy), "busy fresh @0  []"},
        {Scanner("edge", ScannerStatus::kBusy), "busy cached @1788944400 1/2/3 []"},
        {Scanner("new", ScannerStatus::kBusy), "busy fresh @0  []"},
        {Scanner("new", ScannerStatus::kOk, Report(1, 1, 1)), "ok fresh @1796720400 1/1/1 []"},
        // The same once repaired, but another scanner.
        {Scanner("x\xfe", ScannerStatus::kBusy), "busy fresh @0  []"},
        {Scanner("x\xff", ScannerStatus::kBusy), "busy cached @1796716800 1/2/3 []"},
    };
    for (const Case& c : cases) {
        run_outcome run{EnumerationStatus::kOk, 1, 0, {}, {c.scanner}};
        CombineWithStore(store, kNow, &run);
        const scanner_outcome& got = run.vScanners[0];
        stored_reading asStored{"", got.llReadAt, got.stReport, got.aReplaced};
        std::string described = Describe("", asStored);
        EXPECT_EQ(std::string(ScannerStatusName(got.eStatus)) +
                      (got.bCached ? " cached" : " fresh") + described.substr(described.find(" @")),
                  c.expected)
            << c.scanner.strName;
    }
}

TEST(UseAndStoreReadings, PutsInTheFreshReadingsUnderTheLockKeepsTheOthersAndDropsTheStale) {
    const std::string stored = EncodeStore({{"A", {"A", kNow - 60, Report(1, 1, 1), {}}},
                                            {"old", {"old", kNow - 91 * kDay, Report(2, 2, 2), {}}},
                                            {"later", {"later", kNow + 60, Report(3, 3, 3), {}}}});
    struct Case {
        std::string before;  // the store file's text; empty: none
        std::vector<scanner_outcome> run;
        std::vector<std::string> after;  // the store that the folder then holds
        std::string invalid;  // why the file before was set aside as ".corrupt"; empty: it was not
        bool busyCached;      // the busy scanner A is given the stored reading
    };
    const std::string fresh = "B (B) @1796720400 5/5/5 [pad 7@1796720400]";
    const std::string kept = "A (A) @1796720340 1/1/1 []",
                      later = "later (later) @1796720460 3/3/3 []";
    scanner_outcome b = Scanner("B", ScannerStatus::kOk, Report(5, 5, 5), kNow);
    b.aReplaced = Replaced(ConsumableKind::kPad, kNow, 7);
    const scanner_outcome busy = Scanner("A", ScannerStatus::kBusy);
    const std::vector<Case> cases = {
        {"", {b}, {fresh}, "", false},
        {stored,
         {b, Scanner("later", ScannerStatus::kOk, Report(4, 4, 4), kNow), busy},
         {kept, fresh, later},
         "",
         true},
        {"not a store",
         {b},
         {fresh},
         "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error while "
         "parsing value - invalid literal; last read: 'no'",
         false},
        // Nothing fresh: the stale reading goes all the same, and an invalid store is set aside.
        {stored, {busy}, {kept, later}, "", true},
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
        std::vector<std::string> texts, expected, files;  // files in the order of their names
        for (const fleet_message& message : messages) {
            EXPECT_EQ(message.eSeverity, Severity::kWarning);
            texts.push_back(message.strText);
        }
        if (!c.invalid.empty()) {
            expected.push_back("the stored readings " + path + " were not valid (" + c.invalid +
                               "); set aside as " + path + ".corrupt");
        }
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(ReadWholeFile(path + ".corrupt"), c.invalid.empty() ? "" : c.before);
        EXPECT_EQ(Describe(Stored(dir.path())), c.after);
        EXPECT_EQ(run.vScanners.back().bCached, c.busyCached);
        files.push_back("readings.lock");
        if (!c.invalid.empty()) {
            files.insert(files.begin(), "readings.json.corrupt");
        }
        if (!c.after.empty()) {
            files.insert(files.begin(), "readings.json");
        }
        EXPECT_EQ(FolderEntries(dir.path()), files) << "no temporary file is left";
    }
}

TEST(StateFolder, IsCreatedWhenMissingAndAProblemIsOneWarningNeverAFailure) {
    TempDir dir;
    std::vector<fleet_message> messages;
    EXPECT_TRUE(PrepareStateFolder(dir.path() + "/var/lib/orvexconsumables", &messages));
    EXPECT_EQ(FolderEntries(dir.path() + "/var/lib"), std::vector<std::string>{"orvexconsumables"});
    EXPECT_TRUE(messages.empty());

    WriteWholeFile(dir.path() + "/file", "");
    EXPECT_FALSE(PrepareStateFolder(dir.path() + "/file/state", &messages));
    const std::string missing = dir.path() + "/missing";
    run_outcome run{EnumerationStatus::kOk, 1, 0, {}, {Scanner("A", ScannerStatus::kOk)}};
    UseAndStoreReadings(missing, kNow, &run, &messages);
    EXPECT_EQ(run.vScanners[0].llReadAt, kNow) << "the run goes on without the store";
    std::vector<std::string> texts;
    for (const fleet_message& message : messages) {
        EXPECT_EQ(message.eSeverity, Severity::kWarning);
        texts.push_back(message.strText);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "no reading is stored or used: the state folder " + dir.path() +
                             "/file/state cannot be created: Not a directory",
                         "the readings of this run are not stored: cannot open " + missing +
                             "/readings.lock: No such file or directory"}));
}

}  // namespace
