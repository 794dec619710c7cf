// Tests of the parent's reading of a fleet with fake children: how each end of a child becomes a
// status, which scanners are read, and the enumeration's failures.
#include "fleet/fleet_read.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <optional>
#include <thread>

#include "fleet/wire.h"

namespace {

using Names = std::vector<std::string>;

// What each fake scanner's child does, by name.
std::string FakeScanner(const std::string& name) {
    static const std::map<std::string, std::function<std::string()>> behaviours = {
        {"ok",
         [] {
             return EncodeScannerReading({ScannerStatus::kOk, "", {}});
         }},
        {"busy",
         [] {
             return EncodeScannerReading({ScannerStatus::kBusy, "in use", {}});
         }},
        {"unreadable",
         [] {
             return EncodeScannerReading({ScannerStatus::kError, "unreadable", {}});
         }},
        {"garbage", [] { return std::string("{\"status\": \"ok\", \"report\": 7}"); }},
        {"crash",
         []() -> std::string {
             raise(SIGKILL);
             return "";
         }},
        {"hung",
         []() -> std::string {
             std::this_thread::sleep_for(std::chrono::seconds(30));
             return "";
         }},
    };
    return behaviours.at(name)();
}

// Durations are measured to the microsecond, once for every format.
bool IsWholeMicroseconds(double seconds) {
    return std::round(seconds * 1e6) / 1e6 == seconds;
}

fleet_probe Listing(const Names& attached) {
    return {[=] { return EncodeDeviceList({true, attached}); }, FakeScanner};
}

struct Expected {
    std::string device;
    ScannerStatus status;
    std::string message;  // the one message, or "" for none
};

struct FleetCase {
    const char* what;
    Names attached;
    Names requested;
    std::vector<Expected> scanners;
    Names runMessages;
};

TEST(ReadFleet, TurnsEachChildsEndIntoAStatus) {
    const std::vector<FleetCase> cases = {
        {"every outcome",
         {"ok", "busy", "unreadable", "garbage", "crash", "hung"},
         {},
         {{"ok", ScannerStatus::kOk, ""},
          {"busy", ScannerStatus::kBusy, "in use"},
          {"unreadable", ScannerStatus::kError, "unreadable"},
          {"garbage", ScannerStatus::kError, "the reading process gave no valid result"},
          {"crash", ScannerStatus::kError, "the reading process ended by signal 9"},
          {"hung", ScannerStatus::kTimeout, "no answer within 1 s"}},
         {}},
        {"requested ones in enumeration order, then the absent ones once each",
         {"busy", "ok", "unreadable"},
         {"gone\xff", "ok", "busy", "gone\xff", "ok"},
         {{"busy", ScannerStatus::kBusy, "in use"},
          {"ok", ScannerStatus::kOk, ""},
          {"gone\xef\xbf\xbd", ScannerStatus::kAbsent, "not attached"}},
         {}},
        {"a name enumerated twice is read once",
         {"ok", "busy", "ok"},
         {},
         {{"ok", ScannerStatus::kOk, ""}, {"busy", ScannerStatus::kBusy, "in use"}},
         {"two attached scanners are named 'ok'; only the first is read"}},
        {"an index without a name is a message, not a scanner",
         {"ok", "", "busy", ""},
         {"", "ok"},
         {{"ok", ScannerStatus::kOk, ""}, {"", ScannerStatus::kAbsent, "not attached"}},
         {"the enumeration gave no name for the scanner at index 1",
          "the enumeration gave no name for the scanner at index 3"}},
        {"nothing attached", {}, {}, {}, {}},
    };
    for (const FleetCase& c : cases) {
        run_outcome run =
            ReadFleet(Listing(c.attached), c.requested, fleet_limits{std::chrono::seconds(1)});
        EXPECT_EQ(run.eEnumeration, EnumerationStatus::kOk) << c.what;
        EXPECT_EQ(run.iAttached, static_cast<int>(c.attached.size())) << c.what;
        EXPECT_TRUE(IsWholeMicroseconds(run.dSeconds)) << c.what << " " << run.dSeconds;
        Names runMessages;
        for (const fleet_message& message : run.vMessages) {
            runMessages.push_back(message.strText);
        }
        EXPECT_EQ(runMessages, c.runMessages) << c.what;
        ASSERT_EQ(run.vScanners.size(), c.scanners.size()) << c.what;
        for (size_t i = 0; i < c.scanners.size(); ++i) {
            const scanner_outcome& got = run.vScanners[i];
            EXPECT_EQ(got.strDevice, c.scanners[i].device) << c.what;
            EXPECT_EQ(got.eStatus, c.scanners[i].status) << c.what << " " << got.strDevice;
            EXPECT_TRUE(IsWholeMicroseconds(got.dSeconds)) << got.strDevice << " " << got.dSeconds;
            Names expectedMessages;
            if (!c.scanners[i].message.empty()) {
                expectedMessages.push_back(c.scanners[i].message);
            }
            Names messages;
            for (const fleet_message& message : got.vMessages) {
                messages.push_back(message.strText);
            }
            EXPECT_EQ(messages, expectedMessages) << c.what << " " << got.strDevice;
        }
    }
}

TEST(ReadFleet, ReportsAFailedEnumerationAndReadsNoScanner) {
    struct EnumerationCase {
        std::function<std::string()> enumerate;
        EnumerationStatus status;
        std::string message;
        std::optional<std::chrono::milliseconds> runEnd;  // from the start, if the run has one
    };
    auto hang = []() -> std::string {
        std::this_thread::sleep_for(std::chrono::seconds(30));
        return "";
    };
    const std::vector<EnumerationCase> cases = {
        {[] {
             return EncodeDeviceList({false, {}});
         },
         EnumerationStatus::kLibrariesMissing, "the service libraries could not be loaded",
         std::nullopt},
        {[] { return std::string("nonsense"); }, EnumerationStatus::kError,
         "the enumerating process gave no valid result", std::nullopt},
        {[]() -> std::string { _exit(3); }, EnumerationStatus::kError,
         "the enumerating process exited with status 3", std::nullopt},
        {hang, EnumerationStatus::kTimeout, "the enumeration did not finish within 1 s",
         std::nullopt},
        {hang, EnumerationStatus::kTimeout,
         "the enumeration did not finish before the run's time was up",
         std::chrono::milliseconds(300)},
        {hang, EnumerationStatus::kTimeout,
         "the enumeration was not started: the run's time was up", std::chrono::milliseconds(0)},
    };
    for (const EnumerationCase& c : cases) {
        auto start = std::chrono::steady_clock::now();
        fleet_limits limits{std::chrono::seconds(1)};
        if (c.runEnd) {
            limits.tUntil = start + *c.runEnd;
        }
        run_outcome run = ReadFleet({c.enumerate, FakeScanner}, {"ok"}, limits);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(run.eEnumeration, c.status) << c.message;
        EXPECT_EQ(run.iAttached, 0);
        EXPECT_TRUE(run.vScanners.empty()) << c.message;
        ASSERT_EQ(run.vMessages.size(), 1u) << c.message;
        EXPECT_EQ(run.vMessages[0].strText, c.message);
        EXPECT_EQ(run.vMessages[0].eSeverity, Severity::kError);
    }
}

TEST(ReadFleet, ScannersAtOnceAndNoneStartedOrStillReadingAfterTheRunsEnd) {
    fleet_probe probe{
        [] {
            return EncodeDeviceList({true, {"hung1", "hung2", "hung3", "hung4", "ok"}});
        },
        [](const std::string& name) {
            return FakeScanner(name.rfind("hung", 0) == 0 ? "hung" : name);
        }};
    fleet_limits limits{std::chrono::seconds(1), 2,
                        std::chrono::steady_clock::now() + std::chrono::milliseconds(1500)};
    run_outcome run = ReadFleet(probe, {}, limits);
    // Two hung at once time out after their second, the next two are cut short by the run's end,
    // the last is never started.
    std::vector<std::pair<ScannerStatus, std::string>> expected = {
        {ScannerStatus::kTimeout, "no answer within 1 s"},
        {ScannerStatus::kTimeout, "no answer within 1 s"},
        {ScannerStatus::kTimeout, "no answer before the run's time was up"},
        {ScannerStatus::kTimeout, "no answer before the run's time was up"},
        {ScannerStatus::kTimeout, "not read: the run's time was up"}};
    ASSERT_EQ(run.vScanners.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(run.vScanners[i].eStatus, expected[i].first) << i;
        ASSERT_EQ(run.vScanners[i].vMessages.size(), 1u) << i;
        EXPECT_EQ(run.vScanners[i].vMessages[0].strText, expected[i].second) << i;
    }
}

}  // namespace
