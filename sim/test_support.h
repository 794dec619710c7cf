// Test support for the simulated scanner service: a private fleet file in a temporary folder,
// with the environment pointing at it and the in-process service state cleared. Over the
// generic test support (tests/support/files.h), without any of the tool's libraries.
#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "access/entry_points.h"
#include "sim/exports.h"
#include "sim/locks.h"
#include "sim/service.h"
#include "tests/support/files.h"

namespace simtest {

/// The sample fleet that the build lays out and the whole-program tests read.
inline std::string SampleFleet() {
    return ReadWholeFile(SIM_TEST_SOURCE_DIR "/fleet/sample.json");
}

/// A fleet file of its own for one test, with ORVEX_SIM_FLEET and ORVEX_SIM_TRACE set to it; the
/// service's in-process state (library, scanners claimed) is cleared before and after.
class TempFleet {
public:
    explicit TempFleet(const std::string& json) {
        unsetenv("ORVEX_SIM_TRACE");
        exitlibrary();
        sim::ResetService();
        sim::ReleaseAllScanners();
        WriteWholeFile(path(), json);
        setenv("ORVEX_SIM_FLEET", path().c_str(), 1);
        setenv("ORVEX_SIM_TRACE", tracePath().c_str(), 1);
    }
    TempFleet(const TempFleet&) = delete;
    TempFleet& operator=(const TempFleet&) = delete;
    ~TempFleet() {
        unsetenv("ORVEX_SIM_TRACE");
        exitlibrary();
        sim::ReleaseAllScanners();
        sim::ResetService();
        unsetenv("ORVEX_SIM_FLEET");
    }

    const std::string& dir() const { return dir_.path(); }
    std::string path() const { return dir() + "/fleet.json"; }
    std::string tracePath() const { return dir() + "/trace.log"; }

    /// The trace lines so far.
    std::vector<std::string> Trace() const { return SplitIntoLines(ReadWholeFile(tracePath())); }

    /// The fleet file as it is now.
    nlohmann::json Read() const { return nlohmann::json::parse(ReadWholeFile(path())); }

private:
    TempDir dir_;
};

}  // namespace simtest
