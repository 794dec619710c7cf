// Help, version and device-list output.
#include "cli/help.h"

void ShowHelpList(velnor_command_info* record) {
    (void)record;  // TODO(cli)
}

void ShowVerInfo() {
    // TODO(cli)
}

void ShowScannerList() {
    // TODO(cli)
}
