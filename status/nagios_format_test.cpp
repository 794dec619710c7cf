// Tests of the plugin output: the state of each kind of run, and the whole text.
#include "status/nagios_format.h"

#include <gtest/gtest.h>

#include "tests/support/status_support.h"

namespace {

scanner_outcome Scanner(ScannerStatus status, report_view report = BareReport()) {
    return {"s", status, 0, {}, std::move(report)};
}

TEST(PluginState, IsTheWeightiestOfTheRunsParts) {
    report_view marked = BareReport();
    marked.vConsumables[0].eMarks = CounterMarks::kSecond;
    struct StateCase {
        EnumerationStatus enumeration;
        std::vector<scanner_outcome> scanners;
        PluginState state;
        int exitStatus;
    };
    const EnumerationStatus ok = EnumerationStatus::kOk;
    const std::vector<StateCase> cases = {
        {ok, {}, PluginState::kOk, 0},
        {ok, {Scanner(ScannerStatus::kOk)}, PluginState::kOk, 0},
        {ok, {Scanner(ScannerStatus::kOk, FullReport())}, PluginState::kWarning, 1},
        {ok, {Scanner(ScannerStatus::kOk, marked)}, PluginState::kWarning, 1},
        {ok, {Scanner(ScannerStatus::kBusy)}, PluginState::kUnknown, 3},
        {ok,
         {Scanner(ScannerStatus::kBusy), Scanner(ScannerStatus::kOk, marked)},
         PluginState::kWarning,
         1},
        {ok, {Scanner(ScannerStatus::kTimeout)}, PluginState::kCritical, 2},
        {ok, {Scanner(ScannerStatus::kError)}, PluginState::kCritical, 2},
        {ok,
         {Scanner(ScannerStatus::kOk, marked), Scanner(ScannerStatus::kAbsent)},
         PluginState::kCritical,
         2},
        {EnumerationStatus::kLibrariesMissing, {}, PluginState::kCritical, 2},
        {EnumerationStatus::kTimeout, {}, PluginState::kCritical, 2},
        {EnumerationStatus::kError, {}, PluginState::kCritical, 2},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        run_outcome run{cases[i].enumeration, 0, 0, {}, cases[i].scanners};
        EXPECT_EQ(PluginStateOf(run), cases[i].state) << "case " << i;
        EXPECT_EQ(PluginExitStatus(PluginStateOf(run)), cases[i].exitStatus) << "case " << i;
    }
}

TEST(RenderNagios, SummaryWithPerfdataThenALinePerScannerAndMessage) {
    run_outcome mixed = MixedRun();
    mixed.vScanners[1].strDevice = "it's=odd|\nname";
    run_outcome failed{EnumerationStatus::kTimeout, 0, 10, {{Severity::kError, "too slow"}}, {}};
    const std::vector<std::pair<run_outcome, std::string>> cases = {
        {mixed,
         "ORVEXCONSUMABLES CRITICAL - 4 scanners: 2 ok, 1 busy, 1 absent | "
         "'ko-330xs:KV33A0001 after_cleaning'=120;;;0 'ko-330xs:KV33A0001 brake_roller'=5000;;;0 "
         "'ko-330xs:KV33A0001 pick_roller'=6000;;;0 'itsodd  name roller'=30000;;;0\n"
         "ko-330xs:KV33A0001: ok - marked: brake_roller (second mark), pick_roller (first mark)\n"
         "it's=odd  name: ok\n"
         "ko-330xs:BUSY: busy - in use\n"
         "gone: absent - not attached\n"
         "two attached scanners are named 'x'\n"},
        {failed,
         "ORVEXCONSUMABLES CRITICAL - the enumeration timed out\n"
         "too slow\n"},
        {run_outcome{EnumerationStatus::kOk, 0, 0, {}, {}}, "ORVEXCONSUMABLES OK - 0 scanners\n"},
    };
    for (const auto& [run, expected] : cases) {
        EXPECT_EQ(RenderNagios(run), expected);
    }
}

}  // namespace
