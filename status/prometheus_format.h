// The run as Prometheus text exposition, for node_exporter's textfile collector.
#pragma once

#include <string>

#include "fleet/outcome.h"

/// Every metric family with its HELP and TYPE lines and its samples grouped under them; base
/// units (seconds, meters, ratios), no timestamps, label values escaped.
std::string RenderPrometheus(const run_outcome& run, const program_info& program);
