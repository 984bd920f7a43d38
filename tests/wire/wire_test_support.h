// Hexadecimal in, bytes out, for answers written inline in the tables.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace wiretest {

// Pairs of hexadecimal digits; blanks between pairs are ignored.
inline std::vector<uint8_t> bytes(std::string_view text) {
    const auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<uint8_t> out;
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
        i += 2;
    }
    return out;
}

}  // namespace wiretest
