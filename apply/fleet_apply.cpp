// The parent's side: the fleet run over the children, each child's end and result turned into the
// scanner's entry.
#include "apply/fleet_apply.h"

#include <chrono>
#include <cstdio>

#include "apply/payload.h"
#include "fleet/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

// A child that wrote was waited for past its deadline: the time says how long the scanner took.
void NoteLateWrite(const child_result& child, Clock::duration deadline,
                   std::vector<fleet_message>* messages) {
    if (child.bWrote && child.dSeconds > std::chrono::duration<double>(deadline).count()) {
        messages->push_back({Severity::kInfo, "writing went on past the " + WholeSeconds(deadline) +
                                                  " s deadline; took " + Seconds(child.dSeconds) +
                                                  " s"});
    }
}

// What the child's end and result say about the scanner.
void Judge(const child_result& child, Clock::duration deadline, apply_scanner* scanner) {
    apply_result result{ApplyStatus::kError, {}, {}};
    std::vector<fleet_message>& messages = scanner->vMessages;
    if (child.eEnd == ChildEnd::kTimedOut) {
        scanner->eStatus = ApplyStatus::kTimeout;
        messages.push_back({Severity::kError, "no answer within " + WholeSeconds(deadline) + " s"});
    } else if (child.eEnd == ChildEnd::kNotStarted) {
        scanner->eStatus = ApplyStatus::kTimeout;
        messages.push_back({Severity::kError, "not read: the run's time was up"});
    } else if (child.eEnd == ChildEnd::kFailed) {
        messages.push_back(
            {Severity::kError, child.bWrote
                                   ? "the writing process " + DescribeChildEnd(child.iWaitStatus) +
                                         "; what it wrote is not known"
                                   : "the process " + DescribeChildEnd(child.iWaitStatus)});
    } else if (!DecodeApplyResult(child.strPayload, &result)) {
        messages.push_back({Severity::kError, "the process gave no valid result"});
    } else {
        scanner->eStatus = result.eStatus;
        messages = std::move(result.vMessages);
        scanner->vChanges = std::move(result.vChanges);
    }
    NoteLateWrite(child, deadline, &messages);
}

}  // namespace

apply_run ApplyToFleet(const apply_service& service, const site_policy& policy,
                       const std::vector<std::string>& requested, bool check,
                       const fleet_limits& limits) {
    auto work = [&](const std::string& name) {
        return service.fnApply(name, ResolvePolicy(policy, name).stSettings, check);
    };
    fleet_run fleet = RunFleet(service.fnEnumerate, work, requested, limits);
    apply_run run{check, fleet.eEnumeration, std::move(fleet.vMessages), {}};
    for (const fleet_scanner& worked : fleet.vScanners) {
        apply_scanner scanner{ValidUtf8(worked.strName), ApplyStatus::kError, {}, {}};
        Judge(worked.stChild, limits.dDeadline, &scanner);
        run.vScanners.push_back(std::move(scanner));
    }
    for (const std::string& name : fleet.vAbsent) {
        run.vScanners.push_back(
            {ValidUtf8(name), ApplyStatus::kAbsent, {{Severity::kError, "not attached"}}, {}});
    }
    return run;
}
