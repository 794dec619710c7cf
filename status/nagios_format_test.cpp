// Tests of the plugin output: the state of each kind of run, and the whole text.
#include "status/nagios_format.h"

#include <gtest/gtest.h>

#include "tests/support/status_support.h"

namespace {

const program_info kDefaults{"orvexconsumables-status", "1.0.0", 0};

scanner_outcome Scanner(ScannerStatus status, report_view report = BareReport()) {
    return {"s", status, 0, {}, std::move(report), "s"};
}

// A scanner whose roller counts 30000 sheets of the given life.
scanner_outcome WithLife(int32_t life, ScannerStatus status = ScannerStatus::kOk) {
    scanner_outcome scanner = Scanner(status);
    scanner.aLife[static_cast<size_t>(ConsumableKind::kRoller)] = life;
    scanner.bCached = status != ScannerStatus::kOk;
    return scanner;
}

// The exit status of each state is checked on the whole program; an empty run and a timed-out
// enumeration in the whole texts below.
TEST(PluginState, IsTheWeightiestOfTheRunsParts) {
    report_view marked = BareReport();
    marked.vConsumables[0].eMarks = CounterMarks::kSecond;
    scanner_outcome drifted = Scanner(ScannerStatus::kOk);
    drifted.oPolicy = settings_check{{{PolicySetting::kSleepTimer, 15, 15, 20, false}}, {}};
    scanner_outcome compliant = Scanner(ScannerStatus::kOk);
    compliant.oPolicy = settings_check{{{PolicySetting::kSleepTimer, 15, 15, 15, true}}, {}};
    program_info strict = kDefaults;
    strict.iWarningPercent = 50;
    strict.iCriticalPercent = 25;
    struct StateCase {
        EnumerationStatus enumeration;
        std::vector<scanner_outcome> scanners;
        PluginState state;
        program_info program = kDefaults;
    };
    const EnumerationStatus ok = EnumerationStatus::kOk;
    const std::vector<StateCase> cases = {
        {ok, {Scanner(ScannerStatus::kOk)}, PluginState::kOk},
        {ok, {Scanner(ScannerStatus::kOk, FullReport())}, PluginState::kWarning},
        {ok, {Scanner(ScannerStatus::kOk, marked)}, PluginState::kWarning},
        {ok, {Scanner(ScannerStatus::kBusy)}, PluginState::kUnknown},
        {ok,
         {Scanner(ScannerStatus::kBusy), Scanner(ScannerStatus::kOk, marked)},
         PluginState::kWarning},
        {ok, {Scanner(ScannerStatus::kTimeout)}, PluginState::kCritical},
        {ok, {Scanner(ScannerStatus::kError)}, PluginState::kCritical},
        {ok,
         {Scanner(ScannerStatus::kOk, marked), Scanner(ScannerStatus::kAbsent)},
         PluginState::kCritical},
        {EnumerationStatus::kLibrariesMissing, {}, PluginState::kCritical},
        {EnumerationStatus::kError, {}, PluginState::kCritical},
        // The life left against the thresholds, at or below each: 30000 sheets counted.
        {ok, {WithLife(33334)}, PluginState::kOk},                // 10.0006 % left
        {ok, {WithLife(33333)}, PluginState::kWarning},           // 9.9999 %
        {ok, {WithLife(30000)}, PluginState::kCritical},          // none
        {ok, {WithLife(20000)}, PluginState::kCritical},          // past its life
        {ok, {WithLife(60000)}, PluginState::kWarning, strict},   // 50 %
        {ok, {WithLife(40000)}, PluginState::kCritical, strict},  // 25 %
        // Settings against the policy.
        {ok, {drifted}, PluginState::kWarning},
        {ok, {compliant}, PluginState::kOk},
        // A stored reading: a busy scanner is judged on it and stays at least UNKNOWN (one that
        // timed out is CRITICAL whatever it holds).
        {ok, {WithLife(30000, ScannerStatus::kBusy)}, PluginState::kCritical},
        {ok, {WithLife(100000, ScannerStatus::kBusy)}, PluginState::kUnknown},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        run_outcome run{cases[i].enumeration, 0, 0, {}, cases[i].scanners};
        EXPECT_EQ(PluginStateOf(run, cases[i].program), cases[i].state) << "case " << i;
    }
}

TEST(RenderNagios, SummaryWithPerfdataThenALinePerScannerAndMessage) {
    // Two names that read the same once cleaned for a label: each gets its position.
    run_outcome mixed = MixedRun();
    mixed.vScanners[1].strDevice = "it's=odd|\nname";
    mixed.vScanners[2].strDevice = "its=odd| name";
    run_outcome failed{EnumerationStatus::kTimeout, 0, 10, {{Severity::kError, "too slow"}}, {}};
    scanner_outcome low = WithLife(33000);
    program_info thresholds = kDefaults;
    thresholds.iWarningPercent = 30;
    thresholds.iCriticalPercent = 5;
    struct RenderCase {
        run_outcome run;
        program_info program;
        std::string expected;
    };
    const std::vector<RenderCase> cases = {
        {mixed, kDefaults,
         "ORVEXCONSUMABLES CRITICAL - 5 scanners: 2 ok, 2 busy, 1 absent | "
         "'ko-330xs:KV33A0001 after_cleaning'=120;4500;5000;0;5000 "
         "'ko-330xs:KV33A0001 brake_roller'=5000;4950;5500;0;5500 "
         "'ko-330xs:KV33A0001 pick_roller'=6000;180000;200000;0;200000 "
         "'itsodd  name #2 roller'=30000;;;0 "
         "'itsodd  name #3 roller'=30000;36000;40000;0;40000\n"
         "ko-330xs:KV33A0001: ok - marked: brake_roller (second mark), pick_roller (first mark); "
         "life: brake_roller 9% left; out of policy: power off 2-hours (wanted 1-hour)\n"
         "it's=odd  name: ok\n"
         "its=odd  name: busy (last read 2026-12-08T08:00:00Z) - in use\n"
         "ko-330xs:BUSY: busy - in use\n"
         "gone: absent - not attached\n"
         "two attached scanners are named 'x'\n"},
        {run_outcome{EnumerationStatus::kOk, 1, 0, {}, {low}}, thresholds,
         "ORVEXCONSUMABLES WARNING - 1 scanner: 1 ok | 's roller'=30000;23100;31350;0;33000\n"
         "s: ok - life: roller 9% left\n"},
        {failed, kDefaults,
         "ORVEXCONSUMABLES CRITICAL - the enumeration timed out\n"
         "too slow\n"},
        {run_outcome{EnumerationStatus::kOk, 0, 0, {}, {}}, kDefaults,
         "ORVEXCONSUMABLES OK - 0 scanners\n"},
    };
    for (const RenderCase& c : cases) {
        EXPECT_EQ(RenderNagios(c.run, c.program), c.expected);
    }
}

}  // namespace
