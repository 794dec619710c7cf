// Later scanners with a repaired name already seen are left out of the run, with a message.
#include "status/unique_devices.h"

#include <set>

void KeepOneScannerPerName(run_outcome* run) {
    std::set<std::string> seen;
    std::vector<scanner_outcome> kept;
    for (scanner_outcome& scanner : run->vScanners) {
        if (seen.insert(scanner.strDevice).second) {
            kept.push_back(std::move(scanner));
        } else {
            run->vMessages.push_back(
                {Severity::kWarning, "two scanners are named '" + scanner.strDevice +
                                         "' once their names are made valid UTF-8; only the "
                                         "first is reported"});
        }
    }
    run->vScanners = std::move(kept);
}
