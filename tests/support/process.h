// Running the tool for a test: in a forked child of the test process, or as the simulator
// variant of the real executable against a private copy of a fleet file.
#pragma once

#include <functional>
#include <string>
#include <vector>

/// What a run printed and how it ended.
struct RunResult {
    std::string out;    // standard output
    std::string err;    // standard error
    int exitCode = -1;  // the exit status, or -1 when the process did not exit normally
    int signal = 0;     // the signal that ended it, if any
};

/// Runs body in a forked child with standard output and error captured; the child exits with 0
/// when body returns (a run of the tool calls exit itself).
RunResult RunInChild(const std::function<void()>& body);

/// A private simulated fleet for one test: a temporary folder holding the fleet file, the call
/// trace and whatever else the run leaves (lock files). Removed with the object.
class SimFleet {
public:
    /// A copy of tests/fixtures/<name>.
    static SimFleet FromFixture(const std::string& name);
    /// A fleet file with the given JSON text.
    static SimFleet FromJson(const std::string& json);

    SimFleet(SimFleet&& other) noexcept;
    SimFleet(const SimFleet&) = delete;
    SimFleet& operator=(const SimFleet&) = delete;
    ~SimFleet();

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
    /// Replaces the fleet file's text.
    void WriteFleet(const std::string& json) const;

    const std::string& dir() const { return dir_; }
    std::string fleetPath() const { return dir_ + "/fleet.json"; }
    std::string tracePath() const { return dir_ + "/trace.log"; }

private:
    explicit SimFleet(std::string dir) : dir_(std::move(dir)) {}
    std::string dir_;
};

/// Runs the whole tool (RunTool) in a forked child against the given library files, with the
/// fleet's file and trace; the exit status becomes 99 when a library is still loaded after the
/// teardown.
RunResult RunToolAgainstLibraries(const std::string& watchLibrary,
                                  const std::string& controlLibrary, const SimFleet& fleet,
                                  const std::vector<std::string>& args);

/// A signal mask line of /proc/<pid>/status ("SigCgt:", "SigIgn:") as a number; 0 when absent.
unsigned long long ProcessSignalMask(int pid, const std::string& field);

/// The whole text of a file ("" when it cannot be read).
std::string ReadFile(const std::string& path);
/// Writes text to a file, replacing it.
void WriteFile(const std::string& path, const std::string& text);
/// The lines of a text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text);
/// The trace lines without their results (" = ..."), for calls whose result the tool ignores.
std::vector<std::string> WithoutResults(const std::vector<std::string>& lines);
/// The trace lines whose entry-point name is one of names (all lines when names is empty).
std::vector<std::string> FilterTrace(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& names);
