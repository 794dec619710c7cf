// Test support for the simulated scanner service: a private fleet file in a temporary folder,
// with the environment pointing at it and the in-process service state cleared.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "access/entry_points.h"
#include "sim/exports.h"
#include "sim/locks.h"
#include "sim/service.h"

namespace simtest {

inline std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

/// The sample fleet that the build lays out and the whole-program tests read.
inline std::string SampleFleet() {
    return ReadText(SIM_TEST_SOURCE_DIR "/fleet/sample.json");
}

/// A fleet file of its own for one test, with ORVEX_SIM_FLEET and ORVEX_SIM_TRACE set to it.
class TempFleet {
public:
    explicit TempFleet(const std::string& json) {
        unsetenv("ORVEX_SIM_TRACE");
        exitlibrary();
        sim::ResetService();
        sim::ReleaseAllScanners();
        char pattern[] = "/tmp/sim-test-XXXXXX";
        dir_ = mkdtemp(pattern);
        WriteText(path(), json);
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
        for (const std::string& name : Files()) {
            unlink((dir_ + "/" + name).c_str());
        }
        rmdir(dir_.c_str());
    }

    std::string dir() const { return dir_; }
    std::string path() const { return dir_ + "/fleet.json"; }
    std::string tracePath() const { return dir_ + "/trace.log"; }

    /// The trace lines so far.
    std::vector<std::string> Trace() const {
        std::vector<std::string> lines;
        std::istringstream text(ReadText(tracePath()));
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    /// The fleet file as it is now.
    nlohmann::json Read() const { return nlohmann::json::parse(ReadText(path())); }

    /// The names of the files in the folder, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        if (DIR* folder = opendir(dir_.c_str())) {
            while (dirent* entry = readdir(folder)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            closedir(folder);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string dir_;
};

}  // namespace simtest
