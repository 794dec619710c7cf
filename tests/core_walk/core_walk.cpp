// Reads every attached scanner in turn through the core alone, in one process, and prints a line
// per scanner: the check that the core links and works without the command line.
#include <cstdio>
#include <string>

#include "access/binding.h"
#include "access/device_list.h"
#include "consumables/report_view.h"
#include "session/session.h"

static const char* StatusText(SessionStatus status) {
    switch (status) {
        case SessionStatus::kOpen:
            return "open";
        case SessionStatus::kNotConnected:
            return "not connected or busy";
        case SessionStatus::kStateUnreadable:
            return "state unreadable";
    }
    return "?";
}

static void PrintScanner(const std::string& name, const device_session& session) {
    report_view view = BuildReportView(TakeSnapshot(session));
    std::printf("%s: %s serial %s, %d ADF sheets", name.c_str(), view.strProductId.c_str(),
                view.strSerialNumber.c_str(), view.iAdfSheets);
    for (const consumable_view& counter : view.vConsumables) {
        std::printf(", %s %d", ConsumableRowOf(counter.eKind).cpId, counter.iSheets);
    }
    std::printf("\n");
}

int main() {
    if (!OpenLib()) {
        std::printf("service libraries missing\n");
        CloseLib();
        return 1;
    }
    device_session session{};
    for (const std::string& name : ListDeviceNames()) {
        SessionStatus status = OpenSession(&session, name.c_str());
        if (status == SessionStatus::kOpen) {
            PrintScanner(name, session);
        } else {
            std::printf("%s: %s\n", name.c_str(), StatusText(status));
        }
        CloseSession(&session);
    }
    CloseLib();
    return 0;
}
