// The world schemas from docs/, compiled into the program so that a world can be
// checked wherever the program runs.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace sim {
// (file name, schema text) for every docs/world*.schema.json.
const std::vector<std::pair<std::string_view, std::string_view>>& embeddedWorldSchemas();
}
