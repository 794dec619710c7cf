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

// What the enumerating child's end says when it gave no list; kOk when it gave one.
EnumerationStatus JudgeEnumerationEnd(const child_result& child, Clock::duration deadline,
                                      std::vector<fleet_message>* messages) {
    switch (child.eEnd) {
        case ChildEnd::kFinished:
            return EnumerationStatus::kOk;
        case ChildEnd::kNotStarted:
            messages->push_back(
                {Severity::kError, "the enumeration was not started: the run's time was up"});
            return EnumerationStatus::kTimeout;
        case ChildEnd::kTimedOut:
            messages->push_back(
                {Severity::kError,
                 IsCutShortByTheRunsEnd(child, deadline)
                     ? std::string("the enumeration did not finish before the run's time was up")
                     : "the enumeration did not finish within " + WholeSeconds(deadline) + " s"});
            return EnumerationStatus::kTimeout;
        case ChildEnd::kFailed:
            break;
    }
    messages->push_back(
        {Severity::kError, "the enumerating process " + DescribeChildEnd(child.iWaitStatus)});
    return EnumerationStatus::kError;
}

// Runs the enumeration; on success the attached names are in *names.
EnumerationStatus Enumerate(const std::function<std::string()>& enumerate,
                            const fleet_limits& limits, std::vector<std::string>* names,
                            std::vector<fleet_message>* messages) {
    child_limits childLimits{1, limits.dDeadline, limits.tUntil};
    child_result child = RunChildren({enumerate}, childLimits)[0];
    EnumerationStatus status = JudgeEnumerationEnd(child, limits.dDeadline, messages);
    if (status != EnumerationStatus::kOk) {
        return status;
    }
    device_list_reading list{};
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

// The names that the enumeration gave; an index that it gave none for (null or empty) is no
// scanner, since there is nothing to read it by, but a message.
std::vector<std::string> NamedScanners(const std::vector<std::string>& listed,
                                       std::vector<fleet_message>* messages) {
    std::vector<std::string> named;
    for (size_t index = 0; index < listed.size(); ++index) {
        if (listed[index].empty()) {
            std::string text = "the enumeration gave no name for the scanner at index ";
            messages->push_back({Severity::kError, text + std::to_string(index)});
        } else {
            named.push_back(listed[index]);
        }
    }
    return named;
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
    std::vector<std::string> listed;
    run.eEnumeration = Enumerate(enumerate, limits, &listed, &run.vMessages);
    if (run.eEnumeration != EnumerationStatus::kOk) {
        return run;
    }
    run.iAttached = static_cast<int>(listed.size());
    std::vector<std::string> attached = NamedScanners(listed, &run.vMessages);
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

bool IsCutShortByTheRunsEnd(const child_result& child, Clock::duration deadline) {
    // A child killed at its own deadline has run at least that long.
    return child.eEnd == ChildEnd::kTimedOut &&
           child.dSeconds < std::chrono::duration<double>(deadline).count();
}

std::string WholeSeconds(Clock::duration deadline) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(deadline).count());
}
