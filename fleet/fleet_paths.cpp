// The fleet front ends' paths, compiled in with the root chosen when the project was configured,
// so that the -sim programs read and write inside the build tree, never /etc or /var/lib.
#include "fleet/fleet_paths.h"

#ifndef ORVEX_ROOT_DIR
#error "ORVEX_ROOT_DIR must name the installation root (empty for /)"
#endif

const char* const g_cpDefaultPolicyPath = ORVEX_ROOT_DIR "/etc/orvexconsumables/policy.toml";
const char* const g_cpDefaultStateDir = ORVEX_ROOT_DIR "/var/lib/orvexconsumables";
