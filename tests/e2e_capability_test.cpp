// Whole-program runs on the simulated scanner service: the firmware text that the capability rule
// of the active model hands to SetFirmVersion, and the error line of a failed firmware fetch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/expected.h"
#include "tests/support/tool_run.h"
#include "tests/support/trace_lines.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kCapabilityCalls = {"korwc_GetFirmVersion", "korwc_InquiryVPD", "SetFirmVersion"};

// A fleet of one scanner with a firmware text, its inquiry bytes and the faults given.
std::string Fleet(const std::string& name, const std::string& firmware,
                  const std::string& extra = "") {
    return R"({"scanners": [{"name": ")" + name + R"(", "firmware": ")" + firmware +
           R"(", "identification": {"productId": "x", "revision": "1.00", "initialUse": "",
           "serialNumber": "SN0001"},
           "counters": {"cleaning": {"label": "After cleaning:", "count": 1},
                        "roller": {"label": "Brake Roller:", "count": 2},
                        "pick": {"label": "Pick Roller:", "count": 3}})" +
           extra + "}]}";
}

struct TraceCase {
    const char* cpWhat;
    std::string fleet;
    Lines expected;
};

TEST(E2eCapability, FirmwareTextHandedToTheDeviceControlLibrary) {
    const TraceCase cases[] = {
        {"ko-230xs: cut to four characters",
         Fleet("ko-230xs:KV23A0001", "0C31AB"),
         {"korwc_GetFirmVersion(\"ko-230xs:KV23A0001\", buffer, 16) = 1",
          "SetFirmVersion(\"0C31\") = 1"}},
        {"ko-225xs: fetched without gate",
         Fleet("ko-225xs:KV22A0001", "0A12"),
         {"korwc_GetFirmVersion(\"ko-225xs:KV22A0001\", buffer, 16) = 1",
          "SetFirmVersion(\"0A12\") = 1"}},
        {"ko-430xs: its own buffer, the one handed on stays empty",
         Fleet("ko-430xs:KV43A0001", "0D12"),
         {"korwc_GetFirmVersion(\"ko-430xs:KV43A0001\", buffer, 16) = 1",
          "SetFirmVersion(\"\") = 1"}},
        {"unknown model: nothing fetched",
         Fleet("ko-217xs:KV21A0001", "0C31"),
         {"SetFirmVersion(\"\") = 1"}},
        {"wrong case: nothing fetched",
         Fleet("KO-230XS:KV23A0002", "0C31"),
         {"SetFirmVersion(\"\") = 1"}},
        {"ko-550xs: the inquiry, no firmware",
         Fleet("ko-550xs:KV55A0001", "0102", R"(, "inquiry": {"116": 8})"),
         {"korwc_InquiryVPD(\"ko-550xs:KV55A0001\", buffer, 117, 0) = 1",
          "SetFirmVersion(\"\") = 1"}},
    };
    for (const TraceCase& c : cases) {
        SimFleet fleet = SimFleet::FromJson(c.fleet);
        RunResult run = fleet.Run({"--info"});
        EXPECT_EQ(run.exitCode, 0) << c.cpWhat << "\n" << run.out;
        EXPECT_EQ(run.out.find("ERROR: Firmware"), std::string::npos) << c.cpWhat;
        EXPECT_EQ(FilterTrace(fleet.TakeTrace(), kCapabilityCalls), c.expected) << c.cpWhat;
    }
}

TEST(E2eCapability, FailedFirmwareFetchPrintsTheErrorLineAndGoesOn) {
    const char* const models[] = {"ko-230xs:KV23A0001", "ko-430xs:KV43A0001"};
    for (const char* model : models) {
        SimFleet good = SimFleet::FromJson(Fleet(model, "0C31"));
        RunResult expected = good.Run({"--info"});
        SimFleet failing = SimFleet::FromJson(
            Fleet(model, "0C31", R"(, "faults": {"korwc_GetFirmVersion": {"result": 0}})"));
        RunResult run = failing.Run({"--info"});
        // The same report, after the error line; the run still succeeds.
        EXPECT_EQ(run.out, kFirmwareErrorLine + expected.out) << model;
        EXPECT_EQ(run.err, expected.err) << model;
        EXPECT_EQ(run.exitCode, expected.exitCode) << model;
        EXPECT_EQ(run.exitCode, 0) << model;
        std::string device = std::string("\"") + model + "\"";
        EXPECT_EQ(FilterTrace(failing.TakeTrace(), kCapabilityCalls),
                  (Lines{"korwc_GetFirmVersion(" + device + ", buffer, 16) = 0",
                         "SetFirmVersion(\"\") = 1"}))
            << model;
    }
}

}  // namespace
