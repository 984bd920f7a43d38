// Hexadecimal digits, the one table every rendering and parser of hexadecimal uses.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace base {

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
inline constexpr char kLowerHexDigits[] = "0123456789abcdef";

// Appends two digits, high nibble first.
inline void appendHexByte(std::string& out, uint8_t b, const char* digits = kUpperHexDigits) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 0x0F]);
}

// Two digits per byte, in stored order, no separators.
inline std::string hexText(std::span<const uint8_t> bytes, const char* digits = kUpperHexDigits) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) appendHexByte(out, b, digits);
    return out;
}

// "%" and two upper-case digits: how a byte that a text cannot carry is written.
inline void appendPercentByte(std::string& out, uint8_t b) {
    out.push_back('%');
    appendHexByte(out, b);
}

// The value of a hexadecimal digit of either case, or -1.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace base
