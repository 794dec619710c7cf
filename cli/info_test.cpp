// The information report of the run's scanner: the session opens once, a failed open prints its
// message only.
#include "cli/info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "consumables/report_view.h"
#include "tests/support/expected.h"
#include "tests/support/fake_service.h"
#include "tests/support/process.h"
#include "tests/support/tool_state.h"

namespace {

// The core's report of the fake scanner's records.
std::string ExpectedReport() {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    RenderReportText(BuildReportView({g_fake.ardosa, g_fake.device, g_fake.offsets}), out);
    std::fclose(out);
    std::string report(text, size);
    std::free(text);
    return report;
}

TEST(ShowInfoTest, OpensOnceAndPrintsNothingButTheMessageWhenTheOpenFails) {
    struct Row {
        const char* failing;
        const char* secondCalls;  // a failed open is tried again; an open session is kept
    };
    const Row rows[] = {{nullptr, "0"}, {"korwc_StartExcusive", "1"}};
    for (const Row& row : rows) {
        ResetToolState();
        InstallFakeService();
        if (row.failing != nullptr) {
            g_fake.results[row.failing] = 0;
        }
        RunResult run = RunInChild([] {
            velnor_command_info record{};
            record.cpDeviceName = "ko-330xs:FAKE0001";
            ShowInfo(&record);
            size_t calls = g_fake.calls.size();
            ShowInfo(&record);
            printf("second run's calls %zu\n", g_fake.calls.size() - calls);
        });
        std::string once = row.failing != nullptr ? kNotConnectedLine : ExpectedReport();
        EXPECT_EQ(run.out, once + once + "second run's calls " + row.secondCalls + "\n");
    }
    ResetToolState();
}

}  // namespace
