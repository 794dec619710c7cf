// The children's work through the core: session open, snapshot, report view, session closed.
#include "fleet/probe.h"

#include "access/binding.h"
#include "access/device_list.h"
#include "consumables/report_view.h"
#include "session/session.h"
#include "fleet/wire.h"

namespace {

scanner_reading ReadOpenedLibraries(const std::string& name) {
    device_session session{};
    scanner_reading reading{ScannerStatus::kError, "", {}};
    switch (OpenSession(&session, name.c_str())) {
        case SessionStatus::kOpen:
            // The label texts belong to the library: the view copies them before the close.
            reading.eStatus = ScannerStatus::kOk;
            reading.stReport = BuildReportView(TakeSnapshot(session));
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

fleet_probe ServiceProbe() {
    return fleet_probe{EnumerateDevices, ReadScannerState};
}
