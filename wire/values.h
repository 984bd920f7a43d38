// The small value types that device answers, fabric answers and host queries carry.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "wire/big_endian.h"

namespace wire {

// A world-wide name: 8 bytes in the order the HBA library delivers them.
using Wwn = std::array<uint8_t, 8>;

// A 24-bit Fibre Channel address as 3 bytes, most significant first (domain, area, port).
using PortId = std::array<uint8_t, 3>;

// An 8-byte FCP logical unit number as REPORT LUNS lists it and requests carry it.
using LunId = std::array<uint8_t, 8>;

// The port id of an FC address held in the low 24 bits of a 32-bit value, and back.
constexpr PortId portIdFromFcAddress(uint32_t fcAddress) {
    return {static_cast<uint8_t>(fcAddress >> 16), static_cast<uint8_t>(fcAddress >> 8),
            static_cast<uint8_t>(fcAddress)};
}
constexpr uint32_t fcAddressOf(const PortId& id) { return uint32_t{id[0]} << 16 | uint32_t{id[1]} << 8 | id[2]; }

// N bytes of b from at; zeros for the bytes past its end.
template <std::size_t N>
constexpr std::array<uint8_t, N> bytesAt(std::span<const uint8_t> b, std::size_t at) {
    std::array<uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = byteAt(b, at + i);
    return out;
}
constexpr Wwn wwnAt(std::span<const uint8_t> b, std::size_t at) { return bytesAt<8>(b, at); }
constexpr PortId portIdAt(std::span<const uint8_t> b, std::size_t at) { return bytesAt<3>(b, at); }

// Copies a fixed-size value into b at at (b must have the room).
template <std::size_t N>
constexpr void putBytes(std::span<uint8_t> b, std::size_t at, const std::array<uint8_t, N>& value) {
    std::copy(value.begin(), value.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

// The SCSI address a host reports for a drive, a disk or a logical unit: port number,
// path (bus) id, target id, logical unit number. Equal when all four bytes are.
struct DiskAddress {
    uint8_t portNumber = 0;
    uint8_t pathId = 0;
    uint8_t targetId = 0;
    uint8_t lun = 0;
    friend bool operator==(const DiskAddress&, const DiskAddress&) = default;
    constexpr uint32_t key() const {
        return uint32_t{portNumber} << 24 | uint32_t{pathId} << 16 | uint32_t{targetId} << 8 | lun;
    }
};

}  // namespace wire
