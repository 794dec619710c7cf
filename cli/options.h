// The three scans of the command line.
#pragma once

#include "cli/option_table.h"
#include "consumables/command.h"

/// Device-name scan from the first word: the first -d value (a word of argv, not a copy), or null
/// when there is none.
/// An unknown option or missing value clears ok and stores exit code 3.
const char* GetValidScannerName(int argc, char** argv, bool* ok);

/// Common-command scan, from where the option parser stands (the main scan restarts it first):
/// sets hasCommon when --info, -L, -h or -V stands anywhere on the rest of the line.
/// Returns false (exit code 3 stored) when the scan meets an unknown option or a missing value.
bool HasCommonCommand(int argc, char** argv, bool& hasCommon);

/// Main scan. True with finished set: the command line is a common command, left in command for
/// the driver to carry out (the first one met; --info when there are no arguments). True with
/// finished clear: the record holds the changes to apply (or none). False: the run ends; the
/// message is printed and g_iErrCode stored.
bool ParseCommandLine(int argc, char** argv, velnor_command_info* record, bool* finished,
                      OptionKind* command);
