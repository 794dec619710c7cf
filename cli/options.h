// The command-line vocabulary and the three scans of the command line.
#pragma once

#include <getopt.h>

#include "consumables/command.h"

/// The short options: only -d (with a value), -L, -h and -V exist.
extern const char* g_cpOptString;
/// The 22 long options followed by the all-zero terminator, in table order.
extern const struct option g_stOptions[23];

/// True when the open scanner offers the option with this code (its label reads the option's
/// text and it reports the support flags the option needs); true for codes of other kinds.
bool IsOptionOffered(int code);

/// Device-name scan from the first word: the first -d value (a word of argv, not a copy), or null
/// when there is none.
/// An unknown option or missing value clears ok and stores exit code 3.
const char* GetValidScannerName(int argc, char** argv, bool* ok);

/// Common-command scan, from where the option parser stands (the main scan restarts it first):
/// sets hasCommon when --info, -L, -h or -V stands anywhere on the rest of the line.
/// Returns false (exit code 3 stored) when the scan meets an unknown option or a missing value.
bool HasCommonCommand(int argc, char** argv, bool& hasCommon);

/// Main scan. True with finished set: the command was completed while parsing. True with finished
/// clear: the record holds the changes to apply (or none). False: the run ends; the message is
/// printed and g_iErrCode stored.
bool ParseCommandLine(int argc, char** argv, velnor_command_info* record, bool* finished);
