// Hash combining for keys made of two parts (pairs of WWNs, pairs of id texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace base {

// Mixes two 64-bit values into one well-spread hash (a multiply-xorshift finaliser).
constexpr std::size_t hashPair(uint64_t a, uint64_t b) {
    uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2));
    h ^= h >> 29;
    return static_cast<std::size_t>(h * 0xBF58476D1CE4E5B9ull);
}

// The first 8 bytes of a value as one integer (WWNs are 8 bytes).
template <class Bytes>
uint64_t firstEightBytes(const Bytes& b) {
    static_assert(sizeof b >= sizeof(uint64_t));
    uint64_t v = 0;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

}  // namespace base
