// Text helpers shared by every part of the scanner: hexadecimal renderings of binary
// identifiers, the percent-escaping that makes raw device data printable, XML escaping
// for the documents, and copies bounded by a record field's capacity.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scan {

// Two upper-case digits per byte, in stored order, no separators ("%02X" each).
std::string hexText(std::span<const uint8_t> bytes);
// The same in lower case (only the disk hash uses it).
std::string hexTextLower(std::span<const uint8_t> bytes);

// Each byte that is a printable character of the current locale and not '"', '%', '&'
// or '<' is kept; every other byte becomes '%' and two upper-case hexadecimal digits.
// The result holds at most 1023 characters, as the fixed result buffer it replaces did:
// an escape that would not fit whole is left out with everything after it.
std::string percentEscape(std::span<const uint8_t> bytes);
inline std::string percentEscape(std::string_view text) {
    return percentEscape(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// Escapes '&', '<', '>' and '"' so that any text can stand in element content or an
// attribute value without changing the document's structure.
std::string xmlEscape(std::string_view text);
// Appends the escaped text to out (no temporary string).
void appendXmlEscaped(std::string& out, std::string_view text);

// A copy that keeps at most capacity - 1 bytes: what a NUL-terminated field of that
// capacity holds after a bounded copy.
inline std::string boundedText(std::string_view text, std::size_t capacity) {
    return std::string(text.substr(0, capacity == 0 ? 0 : std::min(text.size(), capacity - 1)));
}

}  // namespace scan
