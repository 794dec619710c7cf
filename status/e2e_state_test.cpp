// Whole-program tests of the stored readings: a busy scanner reported with its last reading, a
// replacement found, runs at once on one state folder, and the JSON of every fixture with and
// without a policy and a store.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "fleet/state_store.h"
#include "tests/support/status_support.h"

namespace {

using Names = std::vector<std::string>;

const std::string kPolicy = ORVEX_TEST_FIXTURES "/status_policy.toml";

// The scanner's object of a JSON document without what a run of its own gives it.
nlohmann::json DataOf(nlohmann::json scanner) {
    for (const char* key : {"status", "duration_seconds", "messages", "cached"}) {
        scanner.erase(key);
    }
    return scanner;
}

// Both documents are checked against the schema: with a policy, read fresh, stored and replaced.
TEST(StatusState, ABusyScannerIsReportedWithItsLastReadingALowerCounterAsAReplacement) {
    Fleet fleet({FleetScanner("ko-330xs:A1", "A1"), FleetScanner("ko-330xs:B2", "B2")});
    RunResult first = RunStatusProgram(fleet.path, {"-p", kPolicy});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(SchemaViolation(first.out, ORVEX_TEST_SCHEMA), "");
    nlohmann::json read = nlohmann::json::parse(first.out)["scanners"][0];
    EXPECT_EQ(read["cached"], false);

    nlohmann::json cleared = {{"counters", {{"pick", {{"label", "Pick Roller:"}, {"count", 0}}}}}};
    fleet.Write({FleetScanner("ko-330xs:A1", "A1"), FleetScanner("ko-330xs:B2", "B2", cleared)});
    ScannerHolder holder(fleet.path, "ko-330xs:A1");
    ASSERT_TRUE(holder.holds());
    RunResult second = RunStatusProgram(fleet.path, {"-p", kPolicy});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_EQ(SchemaViolation(second.out, ORVEX_TEST_SCHEMA), "");
    nlohmann::json scanners = nlohmann::json::parse(second.out)["scanners"];
    nlohmann::json held = scanners[0];
    EXPECT_EQ(held["status"], "busy");
    EXPECT_EQ(held["cached"], true);
    EXPECT_EQ(held["messages"][0]["text"], "not connected, or in use by another application");
    EXPECT_EQ(DataOf(held), DataOf(read)) << "the first run's data and read_at";
    EXPECT_EQ(scanners[1]["consumables"][0]["replaced"],
              nlohmann::json({{"at", scanners[1]["read_at"]}, {"sheets_before", 60}}));

    // Without the store the busy scanner has no data, as before there was one.
    RunResult none = RunStatusProgram(fleet.path, {"--no-state"});
    EXPECT_EQ(DataOf(nlohmann::json::parse(none.out)["scanners"][0]),
              nlohmann::json({{"device", "ko-330xs:A1"}}));
}

TEST(StatusState, TwoRunsAtOnceOnOneFolderKeepBothReadings) {
    Fleet fleet({FleetScanner("ko-330xs:A1", "A1"), FleetScanner("ko-330xs:B2", "B2")});
    TempDir capture;
    const Names names = {"ko-330xs:A1", "ko-330xs:B2"};
    for (int round = 0; round < 50; ++round) {
        const std::string folder = fleet.dir.path() + "/state" + std::to_string(round);
        std::vector<int> pids;
        for (const std::string& name : names) {
            std::string out = capture.path() + "/" + name;
            pids.push_back(StartStatusProgram(fleet.path, {"--state-dir", folder, "-d", name}, {},
                                              out + ".out", out + ".err"));
        }
        for (size_t i = 0; i < pids.size(); ++i) {
            std::string out = capture.path() + "/" + names[i];
            EXPECT_EQ(WaitForProgram(pids[i], out + ".out", out + ".err").exitCode, 0);
        }
        reading_store store;
        std::string why;
        ASSERT_TRUE(DecodeStore(ReadWholeFile(folder + "/readings.json"), &store, &why))
            << "round " << round << ": " << why;
        Names keys;
        for (const auto& entry : store) {
            keys.push_back(entry.first);
        }
        ASSERT_EQ(keys, names) << "round " << round;
    }
}

// For each attached scanner of a fleet: even ones held by another application (busy, with the
// stored reading), odd ones with every counter cleared (a replacement).
nlohmann::json HeldOrCleared(nlohmann::json fleet) {
    size_t i = 0;
    for (nlohmann::json& scanner : fleet["scanners"]) {
        if (i++ % 2 == 0) {
            scanner["faults"]["korwc_StartExcusive"] = {{"result", 0}};
            continue;
        }
        for (auto& counter : scanner["counters"]) {
            counter["count"] = 0;
        }
    }
    return fleet;
}

TEST(StatusState, TheJsonOfEveryFixtureIsValidWithAndWithoutPolicyAndStore) {
    Names fleets = {ORVEX_TEST_FIXTURES "/sample.json"};
    for (const auto& entry : std::filesystem::directory_iterator(ORVEX_TEST_FIXTURES)) {
        std::string path = entry.path().string();
        if (entry.path().extension() == ".json" && path != fleets[0] &&
            ReadWholeFile(path).find("\"scanners\"") != std::string::npos) {
            fleets.push_back(path);
        }
    }
    ASSERT_GE(fleets.size(), 5u);
    for (const std::string& fixture : fleets) {
        Fleet fleet({});
        WriteWholeFile(fleet.path, ReadWholeFile(fixture));
        std::vector<std::pair<std::string, RunResult>> runs;
        runs.emplace_back("plain", RunStatusProgram(fleet.path, {"--no-state"}));
        runs.emplace_back("policy, empty store", RunStatusProgram(fleet.path, {"-p", kPolicy}));
        WriteWholeFile(fleet.path,
                       HeldOrCleared(nlohmann::json::parse(ReadWholeFile(fixture))).dump());
        runs.emplace_back("policy, stored", RunStatusProgram(fleet.path, {"-p", kPolicy}));
        runs.emplace_back("stored, no policy", RunStatusProgram(fleet.path, {}));
        for (const auto& [what, run] : runs) {
            EXPECT_EQ(SchemaViolation(run.out, ORVEX_TEST_SCHEMA), "") << fixture << ", " << what;
        }
        // The stored run has what the schema allows only with a store.
        const std::string& stored = runs[2].second.out;
        EXPECT_NE(stored.find("\"cached\": true"), std::string::npos) << fixture;
    }
}

}  // namespace
