#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sim/pattern.h"

namespace {

struct Row {
    const char* pattern;
    std::string text;
    bool matches;
};

TEST(Pattern, SearchesAsSchemasAsk) {
    const std::vector<Row> rows = {
        // The world schemas' own patterns.
        {"^[0-9A-Fa-f]{2}(:?[0-9A-Fa-f]{2}){7}$", "20:00:00:E0:8B:10:20:30", true},
        {"^[0-9A-Fa-f]{2}(:?[0-9A-Fa-f]{2}){7}$", "200000E08B102030", true},
        {"^[0-9A-Fa-f]{2}(:?[0-9A-Fa-f]{2}){7}$", "200000E08B10203", false},
        {"^[0-9A-Fa-f]{2}(:?[0-9A-Fa-f]{2}){7}$", "20::00", false},
        {"^0[xX][0-9A-Fa-f]{1,8}$", "0x20000034", true},
        {"^0[xX][0-9A-Fa-f]{1,8}$", "0x", false},
        {"^0[xX][0-9A-Fa-f]{1,8}$", "0x123456789", false},
        {"^[0-9A-Fa-f\\s:]*$", "00 0a:FF\n\t", true},
        {"^[0-9A-Fa-f\\s:]*$", "", true},
        {"^[0-9A-Fa-f\\s:]*$", "0g", false},
        {"^([0-9A-Fa-f]{2})*$", "abcd", true},
        {"^([0-9A-Fa-f]{2})*$", "abc", false},
        {"^([0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}|[0-9A-Fa-f]{32})$", "10.1.2.3", true},
        {"^([0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}|[0-9A-Fa-f]{32})$", "10.1.2", false},
        {"^([0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}|[0-9A-Fa-f]{32})$", std::string(32, 'f'), true},
        {"^([0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}|[0-9A-Fa-f]{32})$", "1000.1.2.3", false},
        {"^[A-Za-z]$", "c", true},
        {"^[A-Za-z]$", "cd", false},
        // A class excluding an ASCII character accepts every byte of other characters.
        {"^[^\\\\]*$", "Donn\xC3\xA9" "es", true},
        {"^[^\\\\]*$", "a\\b", false},
        // Unanchored: found anywhere; alternatives, lazy empty loops, escapes.
        {"b+c", "aabbbcd", true},
        {"b+c", "aac", false},
        {"x|yz", "ayz", true},
        {"^(a|ab)c$", "abc", true},
        {"^(a*)*b$", "aaab", true},
        {"^(a*)*b$", "aaaa", false},
        {"^a{2,}$", "aaaa", true},
        {"^a{2,}$", "a", false},
        {"^\\d\\w\\s\\D\\W\\S$", "1_ x-y", true},
        {"^.$", "\n", false},
        {"^(?:ab)?c$", "c", true},
        {"[-a]", "-", true},
        {"[a-]", "-", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.pattern) + " on \"" + r.text + "\"");
        EXPECT_EQ(sim::Pattern(r.pattern).search(r.text), r.matches);
    }
}

TEST(Pattern, RefusesFormsItDoesNotKnow) {
    for (const char* p : {"(?=a)", "a**", "\\1", "\\bword", "[z-a]", "a{3,2}", "(ab", "ab)", "[ab", "a*?", "^*"}) {
        SCOPED_TRACE(p);
        EXPECT_THROW(sim::Pattern{p}, std::invalid_argument);
    }
}

}  // namespace
