// The policy resolved for each scanner and its settings checked as the tool would write them.
#include "status/policy_view.h"

#include "fleet/settings_check.h"

void ApplyPolicy(const site_policy& policy, run_outcome* run) {
    bool checksSettings = SetsAnySetting(policy);
    for (scanner_outcome& scanner : run->vScanners) {
        if (!HasData(scanner)) {
            continue;
        }
        scanner_policy resolved = ResolvePolicy(policy, scanner.strName);
        scanner.aLife = resolved.aLife;
        if (checksSettings) {
            scanner.oPolicy = CheckSettings(resolved.stSettings, scanner.stReport);
        }
    }
}
