// The parent's side of the reading: children started, their results checked and collected.
#include "fleet/fleet_read.h"

#include <algorithm>

#include "fleet/child.h"
#include "fleet/utf8.h"
#include "fleet/wire.h"

namespace {

using Clock = std::chrono::steady_clock;

// Durations to the microsecond: finer digits say nothing about a run.
double SecondsSince(Clock::time_point start) {
    auto elapsed = std::chrono::round<std::chrono::microseconds>(Clock::now() - start);
    return std::chrono::duration<double>(elapsed).count();
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string WholeSeconds(Clock::duration deadline) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(deadline).count());
}

// Runs the enumeration; on success the attached names are in *names.
EnumerationStatus Enumerate(const fleet_probe& probe, Clock::duration deadline,
                            std::vector<std::string>* names, std::vector<fleet_message>* messages) {
    child_result child = RunChild(probe.fnEnumerate, deadline);
    device_list_reading list{};
    if (child.eEnd == ChildEnd::kTimedOut) {
        messages->push_back({Severity::kError, "the enumeration did not finish within " +
                                                   WholeSeconds(deadline) + " s"});
        return EnumerationStatus::kTimeout;
    }
    if (child.eEnd == ChildEnd::kFailed) {
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

// What the reading child's end and result say about the scanner.
void JudgeReading(const child_result& child, Clock::duration deadline, scanner_outcome* scanner) {
    scanner_reading reading{};
    if (child.eEnd == ChildEnd::kTimedOut) {
        scanner->eStatus = ScannerStatus::kTimeout;
        scanner->vMessages.push_back(
            {Severity::kError, "no answer within " + WholeSeconds(deadline) + " s"});
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

scanner_outcome ReadScanner(const fleet_probe& probe, const std::string& name,
                            Clock::duration deadline) {
    Clock::time_point start = Clock::now();
    child_result child = RunChild([&] { return probe.fnReadScanner(name); }, deadline);
    scanner_outcome scanner{ValidUtf8(name), ScannerStatus::kError, 0.0, {}, {}};
    JudgeReading(child, deadline, &scanner);
    scanner.dSeconds = SecondsSince(start);
    return scanner;
}

// The attached names to read, in enumeration order: requested ones only (all when none is), and
// each name once.
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

void AddAbsent(const std::vector<std::string>& attached, const std::vector<std::string>& requested,
               std::vector<scanner_outcome>* scanners) {
    std::vector<std::string> reported;
    for (const std::string& name : requested) {
        if (!Contains(attached, name) && !Contains(reported, name)) {
            reported.push_back(name);
            scanners->push_back({ValidUtf8(name),
                                 ScannerStatus::kAbsent,
                                 0.0,
                                 {{Severity::kError, "not attached"}},
                                 {}});
        }
    }
}

}  // namespace

run_outcome ReadFleet(const fleet_probe& probe, const std::vector<std::string>& requested,
                      Clock::duration deadline) {
    Clock::time_point start = Clock::now();
    run_outcome run{EnumerationStatus::kOk, 0, 0.0, {}, {}};
    std::vector<std::string> attached;
    run.eEnumeration = Enumerate(probe, deadline, &attached, &run.vMessages);
    if (run.eEnumeration == EnumerationStatus::kOk) {
        run.iAttached = static_cast<int>(attached.size());
        for (const std::string& name : ChooseScanners(attached, requested, &run.vMessages)) {
            run.vScanners.push_back(ReadScanner(probe, name, deadline));
        }
        AddAbsent(attached, requested, &run.vScanners);
    }
    run.dSeconds = SecondsSince(start);
    return run;
}
