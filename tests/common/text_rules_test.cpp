// The document text rules, row by row: what the writers' escaping keeps, turns into an
// entity reference or writes as %XX, and where a cut to a field's capacity falls.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace {

struct EscapeRow {
    const char* name;
    std::string in;
    std::string out;
};

class XmlEscape : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(XmlEscape, Row) { EXPECT_EQ(scan::xmlEscape(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Rules, XmlEscape,
    ::testing::Values(
        EscapeRow{"plain", "Disk 0 C:\\ 100% ok", "Disk 0 C:\\ 100% ok"},
        EscapeRow{"markup", "a<b>&\"c\"'", "a&lt;b&gt;&amp;&quot;c&quot;'"},
        EscapeRow{"controls", std::string("\x01\t\n\r\x1F", 5), "%01%09%0A%0D%1F"},
        EscapeRow{"nul", std::string("a\0b", 3), "a%00b"},
        EscapeRow{"del_kept", "\x7F", "\x7F"},
        EscapeRow{"two_byte", "Donn\xC3\xA9" "es", "Donn\xC3\xA9" "es"},
        EscapeRow{"three_byte", "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        EscapeRow{"four_byte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        EscapeRow{"last_character", "\xF4\x8F\xBF\xBD", "\xF4\x8F\xBF\xBD"},
        EscapeRow{"latin1_byte", "Donn\xE9" "es", "Donn%E9es"},
        EscapeRow{"stray_continuation", "\x80z", "%80z"},
        EscapeRow{"overlong_two", "\xC0\xAF", "%C0%AF"},
        EscapeRow{"overlong_three", "\xE0\x80\xAF", "%E0%80%AF"},
        EscapeRow{"surrogate", "\xED\xA0\x80", "%ED%A0%80"},
        EscapeRow{"above_max", "\xF4\x90\x80\x80", "%F4%90%80%80"},
        EscapeRow{"lead_f5", "\xF5\x80", "%F5%80"},
        EscapeRow{"truncated_at_end", "ab\xE6\x97", "ab%E6%97"},
        EscapeRow{"lead_then_ascii", "\xC3<", "%C3&lt;"},
        EscapeRow{"non_character_fffe", "\xEF\xBF\xBE", "%EF%BF%BE"},
        EscapeRow{"non_character_ffff", "\xEF\xBF\xBF", "%EF%BF%BF"},
        EscapeRow{"fffd_kept", "\xEF\xBF\xBD", "\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CutRow {
    const char* name;
    std::string text;
    std::size_t capacity;
    std::string kept;
};

class BoundedText : public ::testing::TestWithParam<CutRow> {};

TEST_P(BoundedText, Row) {
    EXPECT_EQ(scan::boundedText(GetParam().text, GetParam().capacity), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BoundedText,
    ::testing::Values(
        CutRow{"fits", "abc", 4, "abc"},
        CutRow{"ascii_cut", "abcdef", 4, "abc"},
        CutRow{"zero_capacity", "abc", 0, ""},
        CutRow{"two_byte_whole", "a\xC3\xA9", 4, "a\xC3\xA9"},
        CutRow{"two_byte_split", "ab\xC3\xA9", 4, "ab"},
        CutRow{"three_byte_split_after_one", "a\xE6\x97\xA5", 3, "a"},
        CutRow{"three_byte_split_after_two", "a\xE6\x97\xA5", 4, "a"},
        CutRow{"four_byte_split", "\xF0\x9F\x98\x80z", 4, ""},
        CutRow{"invalid_bytes_cut_anywhere", "a\x80\x80\x80\x80", 4, "a\x80\x80"},
        CutRow{"broken_lead_cut_anywhere", "a\xE6\x41\x97", 3, "a\xE6"},
        // 30 times "é" in the 50-byte agent address: 24 whole characters, not 49 bytes.
        CutRow{"agent_address", [] {
                   std::string s;
                   for (int i = 0; i < 30; ++i) s += "\xC3\xA9";
                   return s;
               }(), 50, [] {
                   std::string s;
                   for (int i = 0; i < 24; ++i) s += "\xC3\xA9";
                   return s;
               }()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
