// The command line of orvexconsumables-apply: what it asks for, its help text.
#pragma once

#include <string>
#include <vector>

#include "apply/formats.h"

/// What the command line asks for.
struct apply_options {
    bool bCheck = false;
    std::string strPolicyPath;              // empty: the default policy, which may be missing
    std::vector<std::string> vDeviceNames;  // empty: every attached scanner
    int iTimeoutSeconds = 10;               // for the enumeration and for reading each scanner
    int iJobs = 1;                          // scanners worked on at once
    const apply_format* pFormat = &kApplyFormats[0];
    bool bHelp = false;
    bool bVersion = false;
};

/// Reads the command line. Returns false with a one-line description in *error for a usage error.
/// Prints nothing.
bool ParseApplyOptions(int argc, char** argv, apply_options* options, std::string* error);

/// The help text, ending in a line end.
std::string ApplyHelpText();
