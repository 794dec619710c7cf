// Support for the status program's tests: temporary folders, whole runs of the -sim program
// against a private fleet file, and a process that holds a scanner as another application would.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

/// A temporary folder under $TMPDIR (else /tmp), removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

/// What a run of the program printed, how it ended and how long it took.
struct ProgramRun {
    std::string out;
    std::string err;
    int exitCode = -1;  // -1 when it did not exit normally
    double seconds = 0;
};

/// Runs orvexconsumables-status-sim with the arguments against the fleet file, with extra
/// environment entries ("NAME=value", replacing any of that name).
ProgramRun RunStatusProgram(const std::string& fleetPath, const std::vector<std::string>& args,
                            const std::vector<std::string>& extraEnvironment = {});

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

/// The whole text of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
/// Replaces a file with the text.
void WriteWholeFile(const std::string& path, const std::string& text);
/// The lines of a text without their line ends.
std::vector<std::string> SplitIntoLines(const std::string& text);
/// The names in a folder.
std::vector<std::string> FolderEntries(const std::string& folder);

#include "consumables/report_view.h"

/// A scanner with every feature: flatbed, three counters (the roller one with its second mark,
/// the pick one with its first), sleep timer, power-off, all offsets and magnifications.
report_view FullReport();

/// A scanner with no feature beyond the ADF total and one roller counter whose label the tool
/// does not know.
report_view BareReport();

#include "fleet/outcome.h"

/// A run with a scanner of every kind: FullReport read, BareReport read under a device name
/// holding a quote, a backslash, a line end and a stray byte made valid, one busy, one absent;
/// with a message of the run and fixed durations.
run_outcome MixedRun();
