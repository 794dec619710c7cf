// Support for the status program's tests: whole runs of the -sim program against a private
// fleet file, a process that holds a scanner as another application would, and the report
// fixtures. The status program's layer over the generic test support, which it brings along.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "consumables/report_view.h"
#include "fleet/outcome.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

/// Runs orvexconsumables-status-sim with the arguments against the fleet file, with extra
/// environment entries ("NAME=value", replacing any of that name).
RunResult RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment = {});

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

/// A run with a scanner of every kind: FullReport read, BareReport read under a device name
/// holding a quote, a backslash, a line end and a stray byte made valid, one busy, one absent;
/// with a message of the run and fixed durations.
run_outcome MixedRun();
