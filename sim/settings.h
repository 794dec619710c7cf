// Looking up a key of the scanner software's XML settings file.
#pragma once

#include <string>

namespace sim {

/// The text of the first element named key in the XML file at path (document order), or fallback
/// when the file cannot be read or parsed, or has no such element. Null arguments count as empty.
std::string LookUpSetting(const char* key, const char* fallback, const char* path);

}  // namespace sim
