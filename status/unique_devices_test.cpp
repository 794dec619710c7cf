// Tests of one entry per repaired device name.
#include "status/unique_devices.h"

#include <gtest/gtest.h>

#include "fleet/utf8.h"

namespace {

TEST(KeepOneScannerPerName, NamesEqualOnceRepairedAreReportedOnceTheOthersAsAMessage) {
    struct Case {
        std::vector<std::string> names;  // as the library gives them
        std::vector<std::string> kept;   // as reported
        std::vector<std::string> messages;
    };
    const std::string repaired = "x\xef\xbf\xbd";
    const std::string warning =
        "two scanners are named 'x\xef\xbf\xbd' once their names are "
        "made valid UTF-8; only the first is reported";
    const std::vector<Case> cases = {
        {{"a", "b"}, {"a", "b"}, {}},
        {{"x\xff", "a", "x\xfe", "x\xef\xbf\xbd", "x\xff"},
         {repaired, "a"},
         {warning, warning, warning}},
    };
    for (const Case& c : cases) {
        run_outcome run{EnumerationStatus::kOk, 0, 0, {}, {}};
        for (const std::string& name : c.names) {
            run.vScanners.push_back({ValidUtf8(name), ScannerStatus::kOk, 0, {}, {}, name});
        }
        KeepOneScannerPerName(&run);
        std::vector<std::string> kept, messages;
        for (const scanner_outcome& scanner : run.vScanners) {
            kept.push_back(scanner.strDevice);
        }
        for (const fleet_message& message : run.vMessages) {
            EXPECT_EQ(message.eSeverity, Severity::kWarning);
            messages.push_back(message.strText);
        }
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(messages, c.messages);
        // The first of them stays, with its own bytes.
        EXPECT_EQ(run.vScanners[0].strName, c.names[0]);
    }
}

}  // namespace
