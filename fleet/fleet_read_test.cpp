// Tests of the parent's reading of a fleet with fake children: how each end of a child becomes a
// status, which scanners are read, and the enumeration's failures.
#include "fleet/fleet_read.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <thread>

#include "fleet/wire.h"

namespace {

using Names = std::vector<std::string>;

// What each fake scanner's child does, by name.
std::string FakeScanner(const std::string& name) {
    if (name == "crash") {
        raise(SIGKILL);
    }
    static const std::map<std::string, std::string> payloads = {
        {"ok", EncodeScannerReading({ScannerStatus::kOk, "", {}})},
        {"busy", EncodeScannerReading({ScannerStatus::kBusy, "in use", {}})},
        {"unreadable", EncodeScannerReading({ScannerStatus::kError, "unreadable", {}})},
        {"garbage", "{\"status\": \"ok\", \"report\": 7}"}};
    return payloads.at(name);
}

// An enumerating child that hands back the payload.
std::function<std::string()> Giving(const std::string& payload) {
    return [=] { return payload; };
}

// Durations are measured to the microsecond, once for every format.
bool IsWholeMicroseconds(double seconds) {
    return std::round(seconds * 1e6) / 1e6 == seconds;
}

// The run as lines: "<enumeration status>, <n> attached", each message of the run as "severity:
// text", then each scanner as "device status: message" (no message: "device status").
std::string Described(const run_outcome& run) {
    std::string text = std::string(EnumerationStatusName(run.eEnumeration)) + ", " +
                       std::to_string(run.iAttached) + " attached\n";
    EXPECT_TRUE(IsWholeMicroseconds(run.dSeconds)) << run.dSeconds;
    for (const fleet_message& message : run.vMessages) {
        text += std::string(SeverityName(message.eSeverity)) + ": " + message.strText + "\n";
    }
    for (const scanner_outcome& scanner : run.vScanners) {
        std::string line = scanner.strDevice + " " + ScannerStatusName(scanner.eStatus);
        for (const fleet_message& message : scanner.vMessages) {
            line += ": " + message.strText;
        }
        text += line + "\n";
        EXPECT_TRUE(IsWholeMicroseconds(scanner.dSeconds)) << line << " " << scanner.dSeconds;
    }
    return text;
}

// The end of a scanner's child that hangs, and the run's deadline for the scanners, are tested on
// the whole program; each deadline here is a second.
TEST(ReadFleet, TurnsEachChildsEndIntoAStatusAndAFailedEnumerationIntoNoScanner) {
    auto hang = []() -> std::string {
        std::this_thread::sleep_for(std::chrono::seconds(30));
        return "";
    };
    auto listing = [](const Names& attached) { return Giving(EncodeDeviceList({true, attached})); };
    struct FleetCase {
        std::function<std::string()> enumerate;
        Names requested;
        int runEndMilliseconds;  // from the start; -1: the run has no end
        std::string expected;    // Described()
    };
    const Names all, ok = {"ok"};
    const std::vector<FleetCase> cases = {
        {listing({"ok", "busy", "unreadable", "garbage", "crash"}), all, -1,
         "ok, 5 attached\nok ok\nbusy busy: in use\nunreadable error: unreadable\n"
         "garbage error: the reading process gave no valid result\n"
         "crash error: the reading process ended by signal 9\n"},
        // The requested ones in enumeration order, then the absent ones once each; an index
        // without a name is a message, and never matches a requested name.
        {listing({"busy", "ok", "", "unreadable"}),
         {"gone\xff", "", "ok", "busy", "gone\xff", "ok"},
         -1,
         "ok, 4 attached\nerror: the enumeration gave no name for the scanner at index 2\n"
         "busy busy: in use\nok ok\ngone\xef\xbf\xbd absent: not attached\n"
         " absent: not attached\n"},
        {listing({"ok", "busy", "ok"}), all, -1,
         "ok, 3 attached\nwarning: two attached scanners are named 'ok'; only the first is read\n"
         "ok ok\nbusy busy: in use\n"},
        {listing({}), all, -1, "ok, 0 attached\n"},
        {Giving(EncodeDeviceList({false, {}})), ok, -1,
         "libraries-missing, 0 attached\nerror: the service libraries could not be loaded\n"},
        {Giving("nonsense"), ok, -1,
         "error, 0 attached\nerror: the enumerating process gave no valid result\n"},
        {[]() -> std::string { _exit(3); }, ok, -1,
         "error, 0 attached\nerror: the enumerating process exited with status 3\n"},
        {hang, ok, -1, "timeout, 0 attached\nerror: the enumeration did not finish within 1 s\n"},
        {hang, ok, 300,
         "timeout, 0 attached\n"
         "error: the enumeration did not finish before the run's time was up\n"},
        {hang, ok, 0,
         "timeout, 0 attached\nerror: the enumeration was not started: the run's time was up\n"},
    };
    for (const FleetCase& c : cases) {
        auto start = std::chrono::steady_clock::now();
        fleet_limits limits{std::chrono::seconds(1)};
        if (c.runEndMilliseconds >= 0) {
            limits.tUntil = start + std::chrono::milliseconds(c.runEndMilliseconds);
        }
        run_outcome run = ReadFleet({c.enumerate, FakeScanner}, c.requested, limits);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(Described(run), c.expected);
    }
}

}  // namespace
