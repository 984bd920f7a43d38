// A small random source whose sequence is the same on every compiler and platform
// (splitmix64), so that one seed always writes the same world.
#pragma once

#include <cstdint>

namespace worldgen {

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 to n - 1 (0 when n is 0). The slight bias of the modulo does not matter here.
    uint32_t below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(next() % n); }
    // lo to hi inclusive.
    uint32_t between(uint32_t lo, uint32_t hi) { return lo + below(hi - lo + 1); }
    // True with probability 1/n.
    bool oneIn(uint32_t n) { return below(n) == 0; }

private:
    uint64_t state_;
};

}  // namespace worldgen
