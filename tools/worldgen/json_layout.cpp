#include "tools/worldgen/json_layout.h"

namespace worldgen {

void writeJson(std::string& out, const nlohmann::ordered_json& value, int depth, int compactDepth) {
    const bool container = value.is_object() || value.is_array();
    if (!container || depth >= compactDepth || value.empty()) {
        out += value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::strict);
        return;
    }
    const std::string inner(2 * std::size_t(depth + 1), ' ');
    out += value.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ",\n";
        first = false;
        out += inner;
        if (value.is_object()) {
            out += nlohmann::ordered_json(it.key()).dump();
            out += ": ";
        }
        writeJson(out, *it, depth + 1, compactDepth);
    }
    out += '\n';
    out.append(2 * std::size_t(depth), ' ');
    out += value.is_object() ? '}' : ']';
}

}  // namespace worldgen
