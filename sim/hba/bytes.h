// Byte helpers of the simulated HBA library: hexadecimal in and out, big-endian fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sansim {

using Bytes = std::vector<uint8_t>;
using Wwn = std::array<uint8_t, 8>;

// Reads pairs of hexadecimal digits; blanks, newlines and ':' between pairs are ignored.
// Nullopt when anything else appears or a pair is broken.
std::optional<Bytes> parseHex(std::string_view text);

// Two upper-case digits per byte, no separators.
std::string toHex(std::span<const uint8_t> bytes);

// A WWN written as 16 hexadecimal digits, optionally with ':' between the bytes.
std::optional<Wwn> parseWwn(std::string_view text);

// A 24-bit Fibre Channel address written as 6 hexadecimal digits.
std::optional<uint32_t> parseFcId(std::string_view text);

inline void putBe16(Bytes& b, std::size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v >> 8);
    b.at(at + 1) = static_cast<uint8_t>(v);
}
inline void putBe24(Bytes& b, std::size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v >> 16);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
    b.at(at + 2) = static_cast<uint8_t>(v);
}
inline void putBe32(Bytes& b, std::size_t at, uint32_t v) {
    putBe16(b, at, v >> 16);
    putBe16(b, at + 2, v & 0xFFFFu);
}
inline uint32_t getBe24(std::span<const uint8_t> b, std::size_t at) {
    return (uint32_t{b[at]} << 16) | (uint32_t{b[at + 1]} << 8) | b[at + 2];
}
// Copies text into [at, at + width), padding with pad; longer text is cut.
void putText(Bytes& b, std::size_t at, std::size_t width, std::string_view text, uint8_t pad);

}  // namespace sansim
