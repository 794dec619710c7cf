// The JSON document of a run (its schema: docs/orvexconsumables-status.schema.json).
#pragma once

#include <string>

#include "fleet/outcome.h"

/// The document, indented, ending in a line end. A feature that a scanner lacks is null; a
/// scanner that has no data (not read, and no stored reading) has no data keys.
std::string RenderJson(const run_outcome& run, const program_info& program);
