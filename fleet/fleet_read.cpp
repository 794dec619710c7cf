// The parent's side of the reading: children started, their results checked and collected.
#include "fleet/fleet_read.h"

#include "fleet/utf8.h"
#include "fleet/wire.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the reading child's end and result say about the scanner.
void JudgeReading(const child_result& child, Clock::duration deadline, scanner_outcome* scanner) {
    scanner_reading reading{};
    if (child.eEnd == ChildEnd::kTimedOut) {
        scanner->eStatus = ScannerStatus::kTimeout;
        scanner->vMessages.push_back(
            {Severity::kError, IsCutShortByTheRunsEnd(child, deadline)
                                   ? std::string("no answer before the run's time was up")
                                   : "no answer within " + WholeSeconds(deadline) + " s"});
    } else if (child.eEnd == ChildEnd::kNotStarted) {
        scanner->eStatus = ScannerStatus::kTimeout;
        scanner->vMessages.push_back({Severity::kError, "not read: the run's time was up"});
    } else if (child.eEnd == ChildEnd::kFailed) {
        scanner->eStatus = ScannerStatus::kError;
        scanner->vMessages.push_back(
            {Severity::kError, "the reading process " + DescribeChildEnd(child.iWaitStatus)});
    } else if (!DecodeScannerReading(child.strPayload, &reading)) {
        scanner->eStatus = ScannerStatus::kError;
        scanner->vMessages.push_back(
            {Severity::kError, "the reading process gave no valid result"});
    } else {
        scanner->eStatus = reading.eStatus;
        scanner->stReport = std::move(reading.stReport);
        if (!reading.strMessage.empty()) {
            Severity severity =
                reading.eStatus == ScannerStatus::kBusy ? Severity::kWarning : Severity::kError;
            scanner->vMessages.push_back({severity, reading.strMessage});
        }
    }
}

}  // namespace

run_outcome ReadFleet(const fleet_probe& probe, const std::vector<std::string>& requested,
                      const fleet_limits& limits) {
    Clock::time_point start = Clock::now();
    fleet_run fleet = RunFleet(probe.fnEnumerate, probe.fnReadScanner, requested, limits);
    run_outcome run{fleet.eEnumeration, fleet.iAttached, 0.0, std::move(fleet.vMessages), {}};
    for (const fleet_scanner& read : fleet.vScanners) {
        scanner_outcome scanner{ValidUtf8(read.strName),
                                ScannerStatus::kError,
                                read.stChild.dSeconds,
                                {},
                                {},
                                read.strName};
        JudgeReading(read.stChild, limits.dDeadline, &scanner);
        run.vScanners.push_back(std::move(scanner));
    }
    for (const std::string& name : fleet.vAbsent) {
        run.vScanners.push_back({ValidUtf8(name),
                                 ScannerStatus::kAbsent,
                                 0.0,
                                 {{Severity::kError, "not attached"}},
                                 {},
                                 name});
    }
    run.dSeconds = SecondsSince(start);
    return run;
}
