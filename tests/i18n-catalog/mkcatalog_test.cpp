// The catalog compiler's source syntax and its diagnostics.
#include <gtest/gtest.h>

#include "tools/mkcatalog/catalog_compiler.h"

namespace {

using mkcatalog::parseSource;

TEST(Mkcatalog, Syntax)
{
    const mkcatalog::Compiled c = parseSource(
        "$ a comment\n"
        "$\n"
        "1 before any set\r\n"
        "\n"
        "$set 5 with a comment\n"
        "3   blanks kept  \n"
        "1 escapes \\n\\t\\r\\\\ \\101\\x42 \\303\\244\n"
        "2\n"
        "4 joined \\\n"
        "over \\\\\n"
        "$set 2\n"
        "7 second\n"
        "$set 5\n"
        "9 continued set\n");
    ASSERT_TRUE(c.ok()) << c.errors[0].line << ": " << c.errors[0].message;
    ASSERT_EQ(c.sets.size(), 3u);
    EXPECT_EQ(c.sets[0].number, 1);
    EXPECT_EQ(c.sets[0].messages[0].text, "before any set");
    EXPECT_EQ(c.sets[1].number, 2);
    EXPECT_EQ(c.sets[2].number, 5);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "escapes \n\t\r\\ AB \xC3\xA4"}, {2, ""}, {3, "  blanks kept  "}, {4, "joined over \\"}, {9, "continued set"},
    };
    ASSERT_EQ(c.sets[2].messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(c.sets[2].messages[i].number, expected[i].first);
        EXPECT_EQ(c.sets[2].messages[i].text, expected[i].second);
    }
}

TEST(Mkcatalog, Errors)
{
    const struct {
        const char* source;
        int line;
    } cases[] = {
        {"1 a\n1 b\n", 2},
        {"\n\n0 zero\n", 3},
        {"2147483648 too big\n", 1},
        {"x text\n", 1},
        {"12x text\n", 1},
        {"$set\n", 1},
        {"$set 0\n", 1},
        {"$set 3x\n", 1},
        {"$quote \"\n", 1},
        {"1 bad \\q escape\n", 1},
        {"1 nul \\0 escape\n", 1},
        {"1 nul \\x00 escape\n", 1},
        {"1 short \\x4\n", 1},
        {"1 \xC3 cut\n", 1},
        {"1 \xED\xA0\x80 surrogate\n", 1},
        {"1 \xC0\xAF overlong\n", 1},
        {"1 ends in \\", 1},
        {"$ nothing at all\n", 1},
    };
    for (const auto& c : cases) {
        const mkcatalog::Compiled compiled = parseSource(c.source);
        ASSERT_FALSE(compiled.ok()) << c.source;
        EXPECT_EQ(compiled.errors[0].line, c.line) << c.source;
    }
}

}  // namespace
