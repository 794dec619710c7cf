// UTF-8 repair by the JSON library, so that the wire and the outputs repair texts the same way.
#include "fleet/utf8.h"

#include <nlohmann/json.hpp>

std::string ValidUtf8(const std::string& text) {
    // The serialiser's replace mode writes U+FFFD for each invalid sequence; reading the quoted
    // result back gives the repaired text.
    std::string quoted =
        nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return nlohmann::json::parse(quoted).get<std::string>();
}
