// Big-endian fields of device and fabric answers, the one set every decoder and encoder
// uses. Readers of a span see zeros past its end, so a decoder that asks for a field the
// device did not deliver gets the value of a cleared buffer and never reads outside it.
// Writers need the room (they build answers of known size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace wire {

// Byte at of b, or 0 past the end.
constexpr uint8_t byteAt(std::span<const uint8_t> b, std::size_t at) { return at < b.size() ? b[at] : 0; }

constexpr uint16_t getBe16(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint16_t>(byteAt(b, at) << 8 | byteAt(b, at + 1));
}
constexpr uint32_t getBe24(std::span<const uint8_t> b, std::size_t at) {
    return uint32_t{byteAt(b, at)} << 16 | uint32_t{byteAt(b, at + 1)} << 8 | byteAt(b, at + 2);
}
constexpr uint32_t getBe32(std::span<const uint8_t> b, std::size_t at) {
    return uint32_t{byteAt(b, at)} << 24 | getBe24(b, at + 1);
}

constexpr void putBe16(std::span<uint8_t> b, std::size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}
constexpr void putBe24(std::span<uint8_t> b, std::size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 16);
    putBe16(b, at + 1, v);
}
constexpr void putBe32(std::span<uint8_t> b, std::size_t at, uint32_t v) {
    putBe16(b, at, v >> 16);
    putBe16(b, at + 2, v);
}

}  // namespace wire
