// The JSON document of a run (its schema: docs/orvexconsumables-apply.schema.json).
#pragma once

#include <string>

#include "apply/outcome.h"

/// The document, indented, ending in a line end: the program (with --check and whether anything
/// was changed) and each scanner with its status, messages and changes.
std::string RenderApplyJson(const apply_run& run, const program_info& program);
