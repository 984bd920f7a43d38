// Byte helpers of the simulated HBA library: hexadecimal in and out, and the wire
// library's big-endian fields and value types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wire/big_endian.h"
#include "wire/values.h"

namespace sansim {

using Bytes = std::vector<uint8_t>;
using wire::Wwn;
using wire::getBe24;
using wire::putBe16;
using wire::putBe24;
using wire::putBe32;

// Reads pairs of hexadecimal digits; blanks, newlines and ':' between pairs are ignored.
// Nullopt when anything else appears or a pair is broken.
std::optional<Bytes> parseHex(std::string_view text);

// Two upper-case digits per byte, no separators.
std::string toHex(std::span<const uint8_t> bytes);

// A WWN written as 16 hexadecimal digits, optionally with ':' between the bytes.
std::optional<Wwn> parseWwn(std::string_view text);

// A 24-bit Fibre Channel address written as 6 hexadecimal digits.
std::optional<uint32_t> parseFcId(std::string_view text);

// Copies text into [at, at + width), padding with pad; longer text is cut.
void putText(Bytes& b, std::size_t at, std::size_t width, std::string_view text, uint8_t pad);

}  // namespace sansim
