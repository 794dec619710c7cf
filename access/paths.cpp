// The installation paths, compiled in with the root chosen when the tool was configured.
#include "access/paths.h"

#ifndef ORVEX_ROOT_DIR
#error "ORVEX_ROOT_DIR must name the installation root (empty for /)"
#endif

const char* g_cpKorWatchPath = ORVEX_ROOT_DIR "/opt/orvex/lib/libkorwatch.so";
const char* g_cpZevControlPath = ORVEX_ROOT_DIR "/opt/orvex/lib/libzevcontrol.so";
const char* g_cpSettingsPath = ORVEX_ROOT_DIR "/opt/orvex/etc/consumablessettings.xml";
const char* g_cpProfilePath = ORVEX_ROOT_DIR "/opt/tamrel/quel/zevlaunch.conf";
