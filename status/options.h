// The command line of orvexconsumables-status: what it asks for, its help text.
#pragma once

#include <string>
#include <vector>

#include "status/formats.h"

/// What the command line asks for.
struct status_options {
    const output_format* pFormat = &kOutputFormats[0];
    std::string strOutputPath;              // empty: standard output
    std::vector<std::string> vDeviceNames;  // empty: every attached scanner
    int iTimeoutSeconds = 10;               // for the enumeration and for each scanner
    int iTotalTimeoutSeconds = -1;          // for the whole run; 0: none; -1: the format's
    bool bHelp = false;
    bool bVersion = false;
    int iJobs = 1;              // scanners read at once
    std::string strPolicyPath;  // empty: the default policy, if it exists
    std::string strStateDir;    // empty: the default state folder
    bool bNoState = false;      // neither use nor keep stored readings
    int iWarningPercent = 10;   // the plugin's thresholds of a life left
    int iCriticalPercent = 0;
};

/// The limits of the timeout option, in seconds.
constexpr int kMinTimeoutSeconds = 1;
constexpr int kMaxTimeoutSeconds = 3600;

/// The limits of the jobs option: the scanner software may not expect many processes at once.
constexpr int kMinJobs = 1;
constexpr int kMaxJobs = 64;

/// The largest total timeout, in seconds (the smallest, 0, sets none).
constexpr int kMaxTotalTimeoutSeconds = 86400;

/// The seconds that the whole run may take, from the program's start: the total timeout given,
/// else the format's default; 0 for no limit.
int TotalTimeoutSeconds(const status_options& options);

/// Reads the command line. Returns false with a one-line description in *error for a usage error;
/// the options read so far (the format above all) stay in *options. Prints nothing.
bool ParseStatusOptions(int argc, char** argv, status_options* options, std::string* error);

/// The help text, ending in a line end.
std::string StatusHelpText();
