// Running the tool for a test: the simulator variant of the real executable against a private
// copy of a fleet file, or the whole tool in a forked child against given library files. The
// tool's layer over the generic test support.
#pragma once

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"

/// A private simulated fleet for one test: a temporary folder holding the fleet file, the call
/// trace and whatever else the runs leave (lock files). Removed with the object.
class SimFleet {
public:
    /// A copy of tests/fixtures/<name>.
    static SimFleet FromFixture(const std::string& name);
    /// A fleet file with the given JSON text.
    static SimFleet FromJson(const std::string& json);

    /// Runs the simulator variant of the tool with these arguments against this fleet.
    RunResult Run(const std::vector<std::string>& args) const;
    /// Starts the same run without waiting; returns the process id (see WaitFor).
    int Start(const std::vector<std::string>& args, const std::string& tag) const;
    /// Waits for a run started with Start and collects what it printed.
    RunResult WaitFor(int pid, const std::string& tag) const;

    /// The trace lines of all runs so far, in order; then empties the trace.
    std::vector<std::string> TakeTrace() const;
    /// The fleet file's current text.
    std::string FleetText() const;

    const std::string& dir() const { return dir_.path(); }
    std::string fleetPath() const { return dir() + "/fleet.json"; }
    std::string tracePath() const { return dir() + "/trace.log"; }

private:
    SimFleet() = default;
    TempDir dir_;
};

/// Runs the whole tool (RunTool) in a forked child against the given library files, with the
/// fleet's file and trace; the exit status becomes 99 when a library is still loaded after the
/// teardown.
RunResult RunToolAgainstLibraries(const std::string& watchLibrary,
                                  const std::string& controlLibrary, const SimFleet& fleet,
                                  const std::vector<std::string>& args);
