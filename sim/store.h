// Writing a change of one scanner to the fleet file, atomically and without losing the changes
// that other processes make to it at the same time.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "sim/fleet.h"

namespace sim {

/// Under the fleet's writer lock: re-reads the fleet file that path leads to (links resolved),
/// applies change to the JSON object of the scanner named name (and to nothing else; keys keep
/// their order), writes the document to a temporary file in the same directory, syncs it, gives it
/// the file's mode and renames it over the fleet file; then removes the temporary files of killed
/// writers. On success written holds the scanner as now stored. Returns false with error set when
/// the file belongs to another user, is read-only for its owner, cannot be read or written, the
/// scanner is not in it, or the changed entry is not valid; the file is then as before.
bool UpdateScanner(const std::string& path, const std::string& name,
                   const std::function<void(nlohmann::ordered_json&)>& change, Scanner& written,
                   std::string& error);

}  // namespace sim
