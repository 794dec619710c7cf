// One entry per device name in every output: names that differ only in bytes that are not valid
// UTF-8 read the same once repaired, and would give the same series or object twice.
#pragma once

#include "fleet/outcome.h"

/// Keeps the first of the scanners whose repaired names are equal; each of the others goes, with
/// a warning of the run that names it.
void KeepOneScannerPerName(run_outcome* run);
