// Two runs of the tool against the same simulated scanner at once: exclusive access lets one of
// them through at a time, so either one is refused as not connected or both succeed in turn, and
// the fleet file always holds one of the outcomes of running them one after the other.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"

namespace {

using Names = std::vector<std::string>;

// The fixture with a short delay while the scanner is claimed, so that runs overlap often.
std::string FleetText() {
    nlohmann::ordered_json document = nlohmann::ordered_json::parse(
        ReadWholeFile(std::string(ORVEX_TEST_FIXTURES) + "/faults_fleet.json"));
    document["faults"] = nlohmann::ordered_json::parse(R"({"GetArdosaInfo": {"delayMs": 5}})");
    return document.dump(2) + "\n";
}

const Names kFirst = {"--sleeptimer", "45"};
const Names kSecond = {"--pick-roller-clear", "--adf-back-offset-main", "3"};

// The fleet file after the given commands ran one after the other on a fresh copy.
std::string SerialOutcome(const std::vector<Names>& commands) {
    SimFleet fleet = SimFleet::FromJson(FleetText());
    for (const Names& args : commands) {
        RunResult result = fleet.Run(args);
        EXPECT_EQ(result.out, kSetSuccessfullyLine) << testing::PrintToString(args);
    }
    return fleet.FleetText();
}

TEST(ConcurrentRuns, OneAtATimeAndTheFleetAlwaysASerialOutcome) {
    const std::string onlyFirst = SerialOutcome({kFirst});
    const std::string onlySecond = SerialOutcome({kSecond});
    const std::string both = SerialOutcome({kFirst, kSecond});
    ASSERT_EQ(SerialOutcome({kSecond, kFirst}), both);
    for (const std::string* outcome : {&onlyFirst, &onlySecond, &both}) {
        EXPECT_TRUE(nlohmann::json::accept(*outcome)) << *outcome;
    }
    ASSERT_NE(onlyFirst, onlySecond);

    const int kPairs = 200;
    const int kPairsAtOnce = 4;
    std::map<std::string, int> tally;
    for (int round = 0; round < kPairs / kPairsAtOnce; ++round) {
        std::vector<SimFleet> fleets;
        std::vector<int> firstPids, secondPids;
        for (int i = 0; i < kPairsAtOnce; ++i) {
            fleets.push_back(SimFleet::FromJson(FleetText()));
            firstPids.push_back(fleets.back().Start(kFirst, "first"));
        }
        // Stagger the second runs differently from round to round.
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 6 * 4));
        for (int i = 0; i < kPairsAtOnce; ++i) {
            secondPids.push_back(fleets[i].Start(kSecond, "second"));
        }
        for (int i = 0; i < kPairsAtOnce; ++i) {
            RunResult first = fleets[i].WaitFor(firstPids[i], "first");
            RunResult second = fleets[i].WaitFor(secondPids[i], "second");
            std::string fleet = fleets[i].FleetText();
            std::string what = "round " + std::to_string(round) + " pair " + std::to_string(i);
            EXPECT_EQ(first.err + second.err, "") << what;
            if (first.exitCode == 0 && second.exitCode == 0) {
                EXPECT_EQ(first.out + second.out,
                          std::string(kSetSuccessfullyLine) + kSetSuccessfullyLine)
                    << what;
                EXPECT_EQ(fleet, both) << what;
                ++tally["both succeeded"];
            } else if (first.exitCode == 6) {
                EXPECT_EQ(first.out, kNotConnectedLine) << what;
                EXPECT_EQ(second.out, kSetSuccessfullyLine) << what;
                EXPECT_EQ(second.exitCode, 0) << what;
                EXPECT_EQ(fleet, onlySecond) << what;
                ++tally["first refused"];
            } else {
                EXPECT_EQ(second.out, kNotConnectedLine) << what;
                EXPECT_EQ(second.exitCode, 6) << what;
                EXPECT_EQ(first.out, kSetSuccessfullyLine) << what;
                EXPECT_EQ(first.exitCode, 0) << what;
                EXPECT_EQ(fleet, onlyFirst) << what;
                ++tally["second refused"];
            }
        }
    }
    int runs = 0;
    for (const auto& [outcome, count] : tally) {
        std::printf("%s: %d\n", outcome.c_str(), count);
        runs += count;
    }
    EXPECT_EQ(runs, kPairs);
}

}  // namespace
