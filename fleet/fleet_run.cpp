// The fleet run: the enumeration's end judged, the scanners chosen, their children run.
#include "fleet/fleet_run.h"

#include <algorithm>

#include "fleet/utf8.h"
#include "fleet/wire.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Runs the enumeration; on success the attached names are in *names.
EnumerationStatus Enumerate(const std::function<std::string()>& enumerate, Clock::duration deadline,
                            std::vector<std::string>* names, std::vector<fleet_message>* messages) {
    child_result child = RunChild(enumerate, deadline);
    device_list_reading list{};
    if (child.eEnd == ChildEnd::kTimedOut) {
        messages->push_back({Severity::kError, "the enumeration did not finish within " +
                                                   WholeSeconds(deadline) + " s"});
        return EnumerationStatus::kTimeout;
    }
    if (child.eEnd != ChildEnd::kFinished) {
        messages->push_back(
            {Severity::kError, "the enumerating process " + DescribeChildEnd(child.iWaitStatus)});
        return EnumerationStatus::kError;
    }
    if (!DecodeDeviceList(child.strPayload, &list)) {
        messages->push_back({Severity::kError, "the enumerating process gave no valid result"});
        return EnumerationStatus::kError;
    }
    if (!list.bLibrariesLoaded) {
        messages->push_back({Severity::kError, "the service libraries could not be loaded"});
        return EnumerationStatus::kLibrariesMissing;
    }
    *names = std::move(list.vNames);
    return EnumerationStatus::kOk;
}

// The attached names to work on, in enumeration order: requested ones only (all when none is),
// and each name once.
std::vector<std::string> ChooseScanners(const std::vector<std::string>& attached,
                                        const std::vector<std::string>& requested,
                                        std::vector<fleet_message>* messages) {
    std::vector<std::string> chosen;
    for (const std::string& name : attached) {
        if (Contains(chosen, name)) {
            messages->push_back({Severity::kWarning, "two attached scanners are named '" +
                                                         ValidUtf8(name) +
                                                         "'; only the first is read"});
        } else if (requested.empty() || Contains(requested, name)) {
            chosen.push_back(name);
        }
    }
    return chosen;
}

std::vector<std::string> Absent(const std::vector<std::string>& attached,
                                const std::vector<std::string>& requested) {
    std::vector<std::string> absent;
    for (const std::string& name : requested) {
        if (!Contains(attached, name) && !Contains(absent, name)) {
            absent.push_back(name);
        }
    }
    return absent;
}

}  // namespace

fleet_run RunFleet(const std::function<std::string()>& enumerate,
                   const std::function<std::string(const std::string& name)>& work,
                   const std::vector<std::string>& requested, const fleet_limits& limits) {
    fleet_run run{EnumerationStatus::kOk, {}, 0, {}, {}};
    std::vector<std::string> attached;
    run.eEnumeration = Enumerate(enumerate, limits.dDeadline, &attached, &run.vMessages);
    if (run.eEnumeration != EnumerationStatus::kOk) {
        return run;
    }
    run.iAttached = static_cast<int>(attached.size());
    std::vector<std::string> chosen = ChooseScanners(attached, requested, &run.vMessages);
    std::vector<std::function<std::string()>> jobs;
    jobs.reserve(chosen.size());
    for (const std::string& name : chosen) {
        jobs.push_back([&work, name] { return work(name); });
    }
    child_limits childLimits{limits.iParallel, limits.dDeadline, limits.tUntil};
    std::vector<child_result> children = RunChildren(jobs, childLimits);
    for (size_t i = 0; i < chosen.size(); ++i) {
        run.vScanners.push_back({chosen[i], std::move(children[i])});
    }
    run.vAbsent = Absent(attached, requested);
    return run;
}

std::string WholeSeconds(Clock::duration deadline) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(deadline).count());
}
