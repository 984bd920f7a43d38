// The properties reader through real files: every state of the reader, grouped, with
// the entries each file stores (object, property, value) or the failure it causes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gxlog/src/GXgReadProps.h"

namespace gxlog {
namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string object, property, value;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << e.object << " | " << e.property << " | " << e.value;
}

struct Case {
    const char* name;
    std::string content;
    bool ok;
    std::vector<Entry> entries;  // every node's properties, by node name, in order
};

fs::path tempDir() {
    fs::path dir = fs::path(ATTRSCAN_BINARY_DIR) / "tests" / "gxlog" / "props";
    fs::create_directories(dir);
    return dir;
}

std::string writeFile(const std::string& name, const std::string& content) {
    const fs::path path = tempDir() / (name + ".properties");
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

std::vector<Entry> entriesOf(GXgConfigRegistry& registry, const std::vector<Entry>& expected) {
    // Collect the stored properties of every node the expectation names, plus any other
    // property on those nodes (so unexpected extra stores show up).
    std::vector<Entry> found;
    std::vector<std::string> seen;
    for (const Entry& e : expected) {
        if (std::find(seen.begin(), seen.end(), e.object) != seen.end()) continue;
        seen.push_back(e.object);
        if (auto node = registry.findNode(e.object)) {
            for (const GXgProperty& p : node->properties)
                found.push_back({e.object, std::string(p.name), std::string(p.value)});
        }
    }
    return found;
}

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GXgConfigRegistry registry;
        ::testing::internal::CaptureStderr();
        const bool ok = GXgReadProps(writeFile(c.name, c.content).c_str(), registry);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(entriesOf(registry, c.entries), c.entries);
        EXPECT_EQ(err, "");  // only a bad value escape writes anything (objects_test checks that text)
    }
}

TEST(ReadProps, LineStartBlanksAndComments) {
    runCases({
        {"plain", "native.trace.attributeScanner.level=DEBUG_MAX\n", true,
         {{"native.trace.attributeScanner", "level", "DEBUG_MAX"}}},
        {"empty_file", "", true, {}},
        {"blank_lines", "\n\n  \t\n\fa.b=1\n\n", true, {{"a", "b", "1"}}},
        {"comments", "# a.b=c\n! a.b=c\n   # indented\n\t! too\na.b=real\n", true, {{"a", "b", "real"}}},
        {"hash_in_value", "a.b=x # not a comment\n", true, {{"a", "b", "x # not a comment"}}},
        {"key_may_start_with_separator", "=x.y=1\n:x.z=2\n", true, {{"=x", "y", "1"}, {":x", "z", "2"}}},
        {"backslash_starts_key", "\\x.y=1\n  \\x.z=2\n", true, {{"\\x", "y", "1"}, {"\\x", "z", "2"}}},
        {"separator_after_blanks", "a.b=1\n   =x\n", false, {{"a", "b", "1"}}},
        {"colon_after_blanks", "  :x\n", false, {}},
    });
}

TEST(ReadProps, KeysAndSeparators) {
    runCases({
        {"blank_separator", "a.b.c x\n", true, {{"a.b", "c", "x"}}},
        {"blanks_around_equals", "a.b.c = x  \n", true, {{"a.b", "c", "x  "}}},
        {"blanks_then_colon", "a.b.c \t: \tx\n", true, {{"a.b", "c", "x"}}},
        {"empty_value", "a.b.c=\n", true, {{"a.b", "c", ""}}},
        {"key_alone", "a.b.c\n", false, {}},
        {"key_then_blanks", "a.b.c   \n", false, {}},
        {"no_dot", "key=value\n", false, {}},
        {"empty_object", ".b=value\n", false, {}},
        {"empty_property", "a.=value\n", false, {}},
        {"store_kept_before_failure", "a.b=1\nbad\nc.d=2\n", false, {{"a", "b", "1"}}},
        {"set_again_keeps_place", "a.x=1\na.y=2\na.x=3\n", true, {{"a", "x", "3"}, {"a", "y", "2"}}},
    });
}

TEST(ReadProps, KeyEscapes) {
    runCases({
        {"escaped_equals", "a\\=b.c=x\n", true, {{"a=b", "c", "x"}}},
        {"escaped_colon_blank_backslash", "a\\:b\\ c\\\\d.e=1\n", true, {{"a:b c\\d", "e", "1"}}},
        {"escaped_tab", "a\\\tb.c=1\n", true, {{"a\tb", "c", "1"}}},
        {"bad_key_escape", "a\\nb.c=1\n", false, {}},
    });
}

TEST(ReadProps, ValueEscapesAndContinuations) {
    runCases({
        {"escaped_blank_quote_backslash", "a.b=\\ x\\\"y\\'z\\\\\n", true, {{"a", "b", " x\"y'z\\"}}},
        {"escape_right_after_key_blank", "a.b \\ x\n", true, {{"a", "b", " x"}}},
        {"continuation", "a.b.c=one\\\n   two\n", true, {{"a.b", "c", "onetwo"}}},
        {"continuation_then_empty_line", "a.b=one\\\n\nc.d=2\n", true, {{"a", "b", "one"}, {"c", "d", "2"}}},
        {"continuation_then_escape", "a.b=one\\\n  \\ two\n", true, {{"a", "b", "one two"}}},
        {"continuation_crlf_blank_line", "a.b=one\\\r\n\r\nc.d=2\r\n", true,
         {{"a", "b", "one"}, {"c", "d", "2"}}},
        {"continuation_after_separator", "a.b=\\\n  v\n", true, {{"a", "b", "v"}}},
    });
}

TEST(ReadProps, UnicodeEscapes) {
    runCases({
        {"e_acute", "a.b.c=\\u00e9\n", true, {{"a.b", "c", "\xC3\xA9"}}},
        {"y_diaeresis_upper_hex", "a.b.c=\\u00FF\n", true, {{"a.b", "c", "\xC3\xBF"}}},
        {"euro_capital_u", "a.b.c=\\U20AC\n", true, {{"a.b", "c", "\xE2\x82\xAC"}}},
        {"two_escapes", "a.b=\\u0041\\u00e9x\nc.d=\\u0042\n", true, {{"a", "b", "A\xC3\xA9x"}, {"c", "d", "B"}}},
        {"bad_hex_digit", "a.b=\\u00g1\n", false, {}},
        {"hex_cut_by_line_end", "a.b=\\u00\n", false, {}},
    });
}

TEST(ReadProps, LineEnds) {
    runCases({
        {"crlf", "a.b=1\r\na.c=2\r\n", true, {{"a", "b", "1"}, {"a", "c", "2"}}},
        {"lfcr", "a.b=1\n\ra.c=2\n\r", true, {{"a", "b", "1"}, {"a", "c", "2"}}},
        {"cr_only", "a.b=1\ra.c=2\r", true, {{"a", "b", "1"}, {"a", "c", "2"}}},
    });
}

TEST(ReadProps, EndOfFile) {
    runCases({
        {"last_line_without_end", "a.b=1\na.c=2", true, {{"a", "b", "1"}, {"a", "c", "2"}}},
        {"ends_in_key", "a.b=1\nx.y", true, {{"a", "b", "1"}, {"x", "y", ""}}},
        {"ends_in_key_escape", "x.y\\", true, {{"x", "y", ""}}},
        {"ends_in_value_escape", "a.b=v\\", true, {{"a", "b", "v"}}},
        {"ends_in_hex", "a.b=v\\u00", true, {{"a", "b", "v"}}},
        {"ends_in_comment", "a.b=1\n# trailing", true, {{"a", "b", "1"}}},
        {"ends_without_dot", "a.b=1\nnodot", false, {{"a", "b", "1"}}},
    });
}

TEST(ReadProps, MissingFileFails) {
    GXgConfigRegistry registry;
    EXPECT_FALSE(GXgReadProps((tempDir() / "does-not-exist.properties").string().c_str(), registry));
    EXPECT_FALSE(GXgReadProps(nullptr, registry));
    EXPECT_EQ(registry.size(), 0u);
}

TEST(ReadProps, SlashPathNeedsSystemDriveOnWindows) {
#ifndef _WIN32
    GTEST_SKIP() << "POSIX paths starting with '/' are ordinary absolute paths";
#else
    const std::string saved = std::getenv("SystemDrive") ? std::getenv("SystemDrive") : "";
    _putenv("SystemDrive=");
    GXgConfigRegistry registry;
    EXPECT_FALSE(GXgReadProps("/nativelog.properties", registry));
    if (!saved.empty()) _putenv(("SystemDrive=" + saved).c_str());
#endif
}

}  // namespace
}  // namespace gxlog
