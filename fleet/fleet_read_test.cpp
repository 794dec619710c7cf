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
    if (name == "crash") {
        raise(SIGKILL);
    }
    if (name == "garbage") {
        return "{\"status\": \"ok\", \"report\": 7}";
    }
    static const std::map<std::string, scanner_reading> readings = {
        {"ok", {ScannerStatus::kOk, "", {}}},
        {"busy", {ScannerStatus::kBusy, "in use", {}}},
        {"unreadable", {ScannerStatus::kError, "unreadable", {}}}};
    return EncodeScannerReading(readings.at(name));
}

// Durations are measured to the microsecond, once for every format.
bool IsWholeMicroseconds(double seconds) {
    return std::round(seconds * 1e6) / 1e6 == seconds;
}

fleet_probe Listing(const Names& attached) {
    return {[=] { return EncodeDeviceList({true, attached}); }, FakeScanner};
}

// Each scanner as "device status: message" (no message: "device status").
Names Described(const run_outcome& run) {
    Names lines;
    for (const scanner_outcome& scanner : run.vScanners) {
        std::string line = scanner.strDevice + " " + ScannerStatusName(scanner.eStatus);
        for (const fleet_message& message : scanner.vMessages) {
            line += ": " + message.strText;
        }
        lines.push_back(line);
        EXPECT_TRUE(IsWholeMicroseconds(scanner.dSeconds)) << line << " " << scanner.dSeconds;
    }
    return lines;
}

// The end of a child that hangs, and the run's deadline, are tested on the whole program.
TEST(ReadFleet, TurnsEachChildsEndIntoAStatus) {
    struct FleetCase {
        const char* what;
        Names attached;
        Names requested;
        Names scanners;  // Described()
        Names runMessages;
    };
    const std::vector<FleetCase> cases = {
        {"every outcome",
         {"ok", "busy", "unreadable", "garbage", "crash"},
         {},
         {"ok ok", "busy busy: in use", "unreadable error: unreadable",
          "garbage error: the reading process gave no valid result",
          "crash error: the reading process ended by signal 9"},
         {}},
        // An index without a name is a message, and never matches a requested name.
        {"requested ones in enumeration order, then the absent ones once each",
         {"busy", "ok", "", "unreadable"},
         {"gone\xff", "", "ok", "busy", "gone\xff", "ok"},
         {"busy busy: in use", "ok ok", "gone\xef\xbf\xbd absent: not attached",
          " absent: not attached"},
         {"the enumeration gave no name for the scanner at index 2"}},
        {"a name enumerated twice is read once",
         {"ok", "busy", "ok"},
         {},
         {"ok ok", "busy busy: in use"},
         {"two attached scanners are named 'ok'; only the first is read"}},
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
        EXPECT_EQ(Described(run), c.scanners) << c.what;
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

}  // namespace
