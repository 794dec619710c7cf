// The children's work through the core: session open, snapshot, report view, session closed.
#include "fleet/probe.h"

#include "access/binding.h"
#include "access/device_list.h"
#include "consumables/report_view.h"
#include "session/session.h"
#include "fleet/wire.h"

namespace {

using Problems = std::vector<std::string>;

std::string Impossible(const std::string& what, long long value) {
    return "the library gave an impossible " + what + ": " + std::to_string(value);
}

void CheckSleepTimer(report_view* report, Problems* problems) {
    if (!report->oSleepTimer) {
        return;
    }
    const sleep_timer_view& timer = *report->oSleepTimer;
    if (timer.llMinutes < 0 || timer.llMinMinutes < 0 || timer.llMaxMinutes < 0) {
        problems->push_back(Impossible("sleep timer", timer.llMinutes) + " minutes, from " +
                            std::to_string(timer.llMinMinutes) + " to " +
                            std::to_string(timer.llMaxMinutes));
        report->oSleepTimer.reset();
    }
}

void CheckSheets(report_view* report, Problems* problems) {
    if (report->iAdfSheets < 0) {
        problems->push_back(Impossible("ADF sheet total", report->iAdfSheets));
    }
    if (report->oFlatbedSheets && *report->oFlatbedSheets < 0) {
        problems->push_back(Impossible("flatbed sheet total", *report->oFlatbedSheets));
        report->oFlatbedSheets.reset();
    }
    std::vector<consumable_view> kept;
    for (consumable_view& counter : report->vConsumables) {
        if (counter.iSheets < 0) {
            problems->push_back(
                Impossible(std::string("sheet count for ") + ConsumableRowOf(counter.eKind).cpId,
                           counter.iSheets));
        } else {
            kept.push_back(std::move(counter));
        }
    }
    report->vConsumables = std::move(kept);
}

std::string Joined(const Problems& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += (text.empty() ? "" : "; ") + problem;
    }
    return text;
}

scanner_reading ReadOpenedLibraries(const std::string& name) {
    device_session session{};
    scanner_reading reading{ScannerStatus::kError, "", {}};
    switch (OpenSession(&session, name.c_str())) {
        case SessionStatus::kOpen:
            // The label texts belong to the library: the view copies them before the close.
            reading = CheckReportValues(BuildReportView(TakeSnapshot(session)));
            break;
        case SessionStatus::kNotConnected:
            reading.eStatus = ScannerStatus::kBusy;
            reading.strMessage = "not connected, or in use by another application";
            break;
        case SessionStatus::kStateUnreadable:
            reading.strMessage = "the scanner's state could not be read";
            break;
    }
    CloseSession(&session);
    return reading;
}

}  // namespace

std::string EnumerateDevices() {
    device_list_reading list{OpenLib(), {}};
    if (list.bLibrariesLoaded) {
        list.vNames = ListDeviceNames();
    }
    CloseLib();
    return EncodeDeviceList(list);
}

std::string ReadScannerState(const std::string& name) {
    scanner_reading reading{ScannerStatus::kError, "the service libraries could not be loaded", {}};
    if (OpenLib()) {
        reading = ReadOpenedLibraries(name);
    }
    CloseLib();
    return EncodeScannerReading(reading);
}

scanner_reading CheckReportValues(report_view report) {
    Problems problems;
    CheckSleepTimer(&report, &problems);
    CheckSheets(&report, &problems);
    if (report.iAdfSheets < 0) {
        return {ScannerStatus::kError, Joined(problems), {}};
    }
    return {ScannerStatus::kOk, Joined(problems), std::move(report)};
}

fleet_probe ServiceProbe() {
    return fleet_probe{EnumerateDevices, ReadScannerState};
}
