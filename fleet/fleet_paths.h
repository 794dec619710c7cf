// Where the fleet front ends find the site's policy and keep their state: fixed paths with the
// build's installation root prefixed, compiled once per root like the tool's own paths.
#pragma once

/// The policy file read when none is named (it need not exist).
extern const char* const g_cpDefaultPolicyPath;

/// The folder of the status companion's stored readings when none is named.
extern const char* const g_cpDefaultStateDir;
