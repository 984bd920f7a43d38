#include "inventory/disk_text.h"

namespace inv {

std::string escapeQuotes(std::string_view text, std::size_t capacity) {
    const std::size_t room = capacity == 0 ? 0 : capacity - 1;
    std::string out;
    for (char c : text) {
        const bool escape = c == '\\' || c == '"';
        if (out.size() + (escape ? 2 : 1) > room) break;
        if (escape) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

}  // namespace inv
