#include "inventory/disk_text.h"

#include "base/text.h"
#include "portability/zur_system.h"

namespace inv {

std::string escapeQuotes(std::string_view text, std::size_t capacity) {
    const std::size_t room = capacity == 0 ? 0 : capacity - 1;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool escape = c == '\\' || c == '"';
        if (out.size() + (escape ? 2 : 1) > room) {
            // Drop the part of a character that would not fit whole (those bytes are
            // never escaped, so they are the last ones written).
            out.resize(out.size() - (i - scan::characterBoundary(text, i)));
            break;
        }
        if (escape) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::optional<std::string> md5HexDigest(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::array<uint8_t, 16> digest{};
    if (!zur::md5Digest(text, digest)) return std::nullopt;
    return scan::hexTextLower(digest);
}

}  // namespace inv
