// Hexadecimal in, bytes out, for answers written inline in the tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
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

// One row of a decoder's rule table: its name, the answer in hexadecimal and what the
// decoder must make of it.
template <class Expected>
struct Rule {
    const char* name;
    const char* answer;
    Expected expected;
};

// Hands every row's answer bytes and expectations to check, each failure named by its row.
template <class Expected, class Check>
void checkRules(std::initializer_list<Rule<Expected>> rules, Check check) {
    for (const Rule<Expected>& rule : rules) {
        SCOPED_TRACE(rule.name);
        const std::vector<uint8_t> answer = bytes(rule.answer);
        check(std::span<const uint8_t>(answer), rule.expected);
    }
}

}  // namespace wiretest
