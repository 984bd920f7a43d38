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

// Makes any text safe in element content or an attribute value: '&', '<', '>' and '"'
// become entity references, and every byte XML 1.0 cannot carry as UTF-8 text becomes
// '%' and two upper-case hexadecimal digits, as percentEscape writes them: control bytes
// 0x00-0x1F (tab and line ends too, since a parser would fold them in an attribute), bytes
// that are not part of a well-formed UTF-8 sequence, and the non-characters U+FFFE and
// U+FFFF. Everything else, '%' included, is kept, so ordinary texts print unchanged.
std::string xmlEscape(std::string_view text);
// Appends the escaped text to out (no temporary string).
void appendXmlEscaped(std::string& out, std::string_view text);

// The largest cut point not above limit that does not fall inside a well-formed UTF-8
// sequence of text: cutting there keeps whole characters. Bytes that are not well-formed
// UTF-8 count as one character each.
std::size_t characterBoundary(std::string_view text, std::size_t limit);

// A copy that keeps at most capacity - 1 bytes, what a NUL-terminated field of that
// capacity holds, cut before a character that would not fit whole.
inline std::string boundedText(std::string_view text, std::size_t capacity) {
    const std::size_t room = capacity == 0 ? 0 : capacity - 1;
    return std::string(text.substr(0, characterBoundary(text, room)));
}

}  // namespace scan
