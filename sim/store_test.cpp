// Tests of the atomic replacement of the fleet file: one scanner changed, nothing else, no
// temporary files left, links kept, no update lost between concurrent writers.
#include "sim/store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "sim/test_support.h"

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

bool Increment(const std::string& path, const std::string& name, std::string& error) {
    sim::Scanner written;
    return sim::UpdateScanner(
        path, name, [](ordered_json& s) { s["totals"]["adf"] = s["totals"]["adf"].get<int>() + 1; },
        written, error);
}

TEST(StoreTest, OnlyTheNamedScannerChangesAndNoTemporaryFileIsLeft) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    json before = fleet.Read();
    std::string error;
    ASSERT_TRUE(Increment(fleet.path(), "ko-225Wxs:KV22W0002", error)) << error;
    json expected = before;
    expected["scanners"][1]["totals"]["adf"] = 4322;
    EXPECT_EQ(fleet.Read(), expected);
    EXPECT_EQ(FolderEntries(fleet.dir()),
              (std::vector<std::string>{"fleet.json", "fleet.json.lock"}));
}

TEST(StoreTest, KeysKeepTheirOrder) {
    simtest::TempFleet fleet(
        R"({"scanners": [{"name": "b", "totals": {"adf": 1}, "attached": true}]})");
    std::string error;
    ASSERT_TRUE(Increment(fleet.path(), "b", error)) << error;
    EXPECT_EQ(ReadWholeFile(fleet.path()),
              "{\n  \"scanners\": [\n    {\n      \"name\": \"b\",\n      \"totals\": {\n"
              "        \"adf\": 2\n      },\n      \"attached\": true\n    }\n  ]\n}\n");
}

TEST(StoreTest, WrittenScannerIsReturned) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    sim::Scanner written;
    std::string error;
    ASSERT_TRUE(sim::UpdateScanner(
        fleet.path(), "VX-905R", [](ordered_json& s) { s["lastError"] = 9; }, written, error));
    EXPECT_EQ(written.name, "VX-905R");
    EXPECT_EQ(written.iLastError, 9);
    EXPECT_EQ(written.roller.label, "Roller Set:");
}

TEST(StoreTest, FailedChangeLeavesTheFileAsItWas) {
    struct Row {
        const char* name;
        std::function<void(ordered_json&)> change;
        const char* error;  // start of the message
    } rows[] = {
        {"nobody", [](ordered_json&) {}, "the fleet file "},
        {"VX-905R", [](ordered_json&) { throw std::runtime_error("broken"); },
         "cannot change VX-905R in "},
        {"VX-905R", [](ordered_json& s) { s["attached"] = "yes"; }, "cannot change VX-905R in "},
    };
    for (const Row& row : rows) {
        simtest::TempFleet fleet(simtest::SampleFleet());
        sim::Scanner written;
        std::string error;
        EXPECT_FALSE(sim::UpdateScanner(fleet.path(), row.name, row.change, written, error));
        EXPECT_EQ(error.rfind(row.error, 0), 0u) << error;
        EXPECT_EQ(ReadWholeFile(fleet.path()), simtest::SampleFleet());
        EXPECT_EQ(FolderEntries(fleet.dir()),
                  (std::vector<std::string>{"fleet.json", "fleet.json.lock"}));
    }
}

TEST(StoreTest, LinkedFleetFileIsUpdatedThroughTheLink) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    std::string link = fleet.path() + ".link";
    ASSERT_EQ(symlink("fleet.json", link.c_str()), 0);
    std::string error;
    ASSERT_TRUE(Increment(link, "VX-905R", error)) << error;
    struct stat entry {};
    ASSERT_EQ(lstat(link.c_str(), &entry), 0);
    EXPECT_TRUE(S_ISLNK(entry.st_mode));
    EXPECT_EQ(fleet.Read()["scanners"][2]["totals"]["adf"], 99001);
    EXPECT_EQ(FolderEntries(fleet.dir()),
              (std::vector<std::string>{"fleet.json", "fleet.json.link", "fleet.json.lock"}));
}

TEST(StoreTest, TemporaryFilesOfKilledWritersGoWithTheNextWrite) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    for (const char* name : {"fleet.json.tmp-a1B2c3", "fleet.json.tmp-zZ9_x0",
                             "fleet.json.tmp-notours", "other.json.tmp-a1B2c3"}) {
        WriteWholeFile(fleet.dir() + "/" + name, "{");
    }
    std::vector<std::string> others = {"fleet.json", "fleet.json.lock", "fleet.json.tmp-notours",
                                       "other.json.tmp-a1B2c3"};
    std::string error;
    EXPECT_FALSE(Increment(fleet.path(), "nobody", error));
    EXPECT_EQ(FolderEntries(fleet.dir()).size(), others.size() + 2)
        << "a failed write removes nothing";
    ASSERT_TRUE(Increment(fleet.path(), "VX-905R", error)) << error;
    EXPECT_EQ(FolderEntries(fleet.dir()), others);
}

TEST(StoreTest, ConcurrentWritersLoseNoUpdate) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    const char* names[] = {"ko-330xs:KV33A0001", "ko-330xs:KV33A0001", "VX-905R", "VX-905R"};
    const int kUpdates = 40;
    std::vector<pid_t> children;
    for (const char* name : names) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string error;
            for (int i = 0; i < kUpdates; ++i) {
                if (!Increment(fleet.path(), name, error)) {
                    _exit(1);
                }
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    json after = fleet.Read();
    EXPECT_EQ(after["scanners"][0]["totals"]["adf"], 12345 + 2 * kUpdates);
    EXPECT_EQ(after["scanners"][2]["totals"]["adf"], 99000 + 2 * kUpdates);
    EXPECT_EQ(FolderEntries(fleet.dir()),
              (std::vector<std::string>{"fleet.json", "fleet.json.lock"}));
}

}  // namespace
