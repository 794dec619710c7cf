// Settings file lookup with pugixml.
#include "sim/settings.h"

#include <pugixml.hpp>

namespace sim {

std::string LookUpSetting(const char* key, const char* fallback, const char* path) {
    std::string otherwise = fallback == nullptr ? "" : fallback;
    if (key == nullptr || *key == '\0' || path == nullptr) {
        return otherwise;
    }
    pugi::xml_document document;
    if (!document.load_file(path)) {
        return otherwise;
    }
    pugi::xml_node node = document.find_node([key](pugi::xml_node candidate) {
        return candidate.type() == pugi::node_element && std::string(candidate.name()) == key;
    });
    return node ? std::string(node.text().get()) : otherwise;
}

}  // namespace sim
