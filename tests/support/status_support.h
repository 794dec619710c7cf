// Support for the status program's tests: whole runs of the -sim program against a private
// fleet file, a process that holds a scanner as another application would, and the report
// fixtures. The status program's layer over the generic test support, which it brings along.
#pragma once

#include <sys/types.h>

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "consumables/report_view.h"
#include "fleet/outcome.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

/// A scanner of a simulated fleet (a ko-330xs with a pick roller counter of 60 sheets); the extra
/// keys (faults, counters) are merged in.
nlohmann::json FleetScanner(const std::string& name, const std::string& serial,
                            const nlohmann::json& extra = nlohmann::json::object());

/// A fleet file in a folder of its own, removed with the object.
struct Fleet {
    TempDir dir;
    std::string path = dir.path() + "/fleet.json";
    Fleet(std::initializer_list<nlohmann::json> scanners) { Write(scanners); }
    /// Replaces the fleet file with these scanners.
    void Write(const std::vector<nlohmann::json>& scanners) const;
};

/// Runs the program as RunStatusProgram does, with its standard output and error on a
/// pseudo-terminal of its own; all it wrote is in out.
RunResult RunStatusProgramOnTerminal(const std::string& fleetPath,
                                     const std::vector<std::string>& args,
                                     const std::vector<std::string>& extraEnvironment = {});

/// Runs orvexconsumables-status-sim with the arguments against the fleet file, with extra
/// environment entries ("NAME=value", replacing any of that name). Unless the arguments name a
/// state option (--state-dir, --no-state), the run keeps its readings in the folder "state"
/// beside the fleet file, so that runs on different fleets never share stored readings.
RunResult RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment = {});

/// The text with what differs from run to run masked: durations and reading times (JSON
/// "duration_seconds", "read_at" and "at"; the Prometheus _duration_seconds and _timestamp_seconds
/// samples).
std::string WithoutTimes(const std::string& text);

/// Starts orvexconsumables-status-sim as RunStatusProgram runs it, without waiting for it, its
/// output written to outPath and errPath; returns its process id, for WaitForProgram.
int StartStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                       const std::vector<std::string>& extraEnvironment, const std::string& outPath,
                       const std::string& errPath);

/// A child process that claims a scanner of a fleet through the simulated device-watch library
/// and holds it until the object is destroyed.
class ScannerHolder {
public:
    ScannerHolder(const std::string& fleetPath, const std::string& name);
    ~ScannerHolder();
    ScannerHolder(const ScannerHolder&) = delete;
    ScannerHolder& operator=(const ScannerHolder&) = delete;
    /// True when the claim was granted.
    bool holds() const { return holds_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;  // closing it lets the child end
    bool holds_ = false;
};

/// A scanner with every feature: flatbed, three counters (the roller one with its second mark,
/// the pick one with its first), sleep timer, power-off, all offsets and magnifications.
report_view FullReport();

/// A scanner with no feature beyond the ADF total and one roller counter whose label the tool
/// does not know.
report_view BareReport();

/// A run with a scanner of every kind, with a message of the run and fixed durations and times
/// (read at 2026-12-08T09:00:00Z):
/// FullReport read, with a life for each of its consumables (the brake roller's 9 % left, the
/// pick roller's 97 %), its after-cleaning counter found replaced a day before, and a policy that
/// its sleep timer meets and its power-off (2 hours, 1 hour wanted) does not; BareReport read
/// under a device name holding a quote, a backslash, a line end and a stray byte made valid; one
/// busy scanner reported with BareReport stored an hour before (its roller with a quarter of its
/// life left); one busy with nothing stored; one absent.
run_outcome MixedRun();
