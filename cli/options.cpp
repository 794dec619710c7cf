// The option table and the three scans of the command line.
#include "cli/options.h"

#include "cli/exit_codes.h"
#include "consumables/report.h"

const char* g_cpOptString = "d:LhV";

const struct option g_stOptions[23] = {
    {nullptr, 0, nullptr, 0},  // TODO(cli): the option table
};

const char* GetValidScannerName(int argc, char** argv, bool* ok) {
    (void)argc;
    (void)argv;
    (void)ok;
    return nullptr;  // TODO(cli)
}

bool HasCommonCommand(int argc, char** argv, bool& hasCommon) {
    (void)argc;
    (void)argv;
    hasCommon = false;
    return true;  // TODO(cli)
}

bool ParseCommandLine(int argc, char** argv, velnor_command_info* record, bool* finished) {
    (void)argv;
    if (argc == 1) {
        ShowInfo(record);
        *finished = true;
    }
    return true;  // TODO(cli)
}
