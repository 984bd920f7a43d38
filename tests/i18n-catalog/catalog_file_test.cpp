// Reading catalog files: damaged files refused at open, damaged sets left unloaded, sets
// read on first use, and lookups in the three codeset cases.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "i18n/nlq_catalog_format.h"
#include "i18n/nlq_codeset.h"
#include "tests/i18n-catalog/catalog_test_support.h"

namespace {

using nlq_test::CatalogTest;
namespace fmt = nlq::catalog_format;

// Layout written by the compiler for this source: header 0-27, set records at 28 (set 1)
// and 56 (set 2), set 1's index at 84 and texts "one\0two\0" at 108, set 2's index at 116
// and texts "uno\0" at 128; 132 bytes.
constexpr const char* kTwoSets = "$set 1\n1 one\n2 two\n$set 2\n1 uno\n";
constexpr std::size_t kSet1 = 28, kSet2 = 56, kIndex1 = 84, kText1 = 108, kSize = 132;

using Bytes = std::vector<unsigned char>;
void setInt(Bytes& b, std::size_t at, std::int32_t value) { fmt::writeInt(b.data() + at, value); }

class CatalogFile : public CatalogTest {
protected:
    NlqCatalog* openBytes(const Bytes& bytes)
    {
        const std::string name = "cat" + std::to_string(++files_) + ".cat";
        nlq_test::writeFile(scratch.path() / name, bytes);
        return nlq_catopen(("./" + name).c_str(), 0, nullptr);
    }
    int files_ = 0;
};

TEST_F(CatalogFile, TheCompilerLayout)
{
    const Bytes bytes = nlq_test::compileCatalog(kTwoSets);
    ASSERT_EQ(bytes.size(), kSize);
    EXPECT_EQ(fmt::readInt(&bytes[kSet1 + fmt::kSetIndex]), static_cast<std::int32_t>(kIndex1));
    EXPECT_EQ(fmt::readInt(&bytes[kSet1 + fmt::kSetText]), static_cast<std::int32_t>(kText1));
    EXPECT_EQ(std::memcmp(&bytes[kText1], "one\0two\0", 8), 0);
    EXPECT_EQ(std::memcmp(&bytes[kSize - 4], "uno\0", 4), 0);
}

TEST_F(CatalogFile, DamagedFilesAreNotOpened)
{
    const struct {
        const char* what;
        std::function<void(Bytes&)> damage;
    } cases[] = {
        {"shorter than the header", [](Bytes& b) { b.resize(27); }},
        {"wrong magic", [](Bytes& b) { b[3] = 'Z'; }},
        {"major version 2", [](Bytes& b) { setInt(b, fmt::kHeaderMajor, 2); }},
        {"no sets", [](Bytes& b) { setInt(b, fmt::kHeaderSetCount, 0); }},
        {"negative set count", [](Bytes& b) { setInt(b, fmt::kHeaderSetCount, -1); }},
        {"more sets than the chain holds", [](Bytes& b) { setInt(b, fmt::kHeaderSetCount, 3); }},
        {"more sets than the file holds", [](Bytes& b) { setInt(b, fmt::kHeaderSetCount, 0x7FFFFFFF); }},
        {"first set past the end", [](Bytes& b) { setInt(b, fmt::kHeaderFirstSet, kSize); }},
        {"first set across the end", [](Bytes& b) { setInt(b, fmt::kHeaderFirstSet, kSize - 10); }},
        {"negative first set", [](Bytes& b) { setInt(b, fmt::kHeaderFirstSet, -28); }},
        {"chain loops through invalid records", [](Bytes& b) {
             setInt(b, kSet1 + fmt::kSetInvalid, 1);
             setInt(b, kSet1 + fmt::kSetNext, kSet1);
         }},
        {"chain comes back to a valid record", [](Bytes& b) { setInt(b, kSet2 + fmt::kSetNext, kSet1); setInt(b, fmt::kHeaderSetCount, 3); }},
        {"set numbers out of order", [](Bytes& b) { setInt(b, kSet2 + fmt::kSetNumber, 1); }},
        {"negative set number", [](Bytes& b) { setInt(b, kSet1 + fmt::kSetNumber, -4); }},
        {"index past the end", [](Bytes& b) { setInt(b, kSet1 + fmt::kSetIndex, kSize - 12); }},
        {"too many messages for the file", [](Bytes& b) { setInt(b, kSet2 + fmt::kSetMessageCount, 0x10000000); }},
        {"negative message count", [](Bytes& b) { setInt(b, kSet2 + fmt::kSetMessageCount, -1); }},
        {"text block past the end", [](Bytes& b) { setInt(b, kSet1 + fmt::kSetTextLength, 1000); }},
        {"negative text offset", [](Bytes& b) { setInt(b, kSet1 + fmt::kSetText, -1); }},
        {"negative text length", [](Bytes& b) { setInt(b, kSet1 + fmt::kSetTextLength, -8); }},
        {"truncated inside the last text block", [](Bytes& b) { b.resize(kSize - 2); }},
        {"truncated inside the set records", [](Bytes& b) { b.resize(60); }},
    };
    for (const auto& c : cases) {
        Bytes bytes = nlq_test::compileCatalog(kTwoSets);
        c.damage(bytes);
        EXPECT_EQ(openBytes(bytes), nullptr) << c.what;
    }

    // The fields that are not read do not matter.
    Bytes bytes = nlq_test::compileCatalog(kTwoSets);
    setInt(bytes, fmt::kHeaderMinor, 77);
    setInt(bytes, fmt::kHeaderFlags, -1);
    NlqCatalog* catalog = openBytes(bytes);
    ASSERT_NE(catalog, nullptr);
    EXPECT_STREQ(nlq_catgets(catalog, 2, 1, "d", nlq_codeset_utf8()), "uno");
}

TEST_F(CatalogFile, InvalidSetRecordsAreSkipped)
{
    Bytes bytes = nlq_test::compileCatalog(kTwoSets);
    setInt(bytes, kSet1 + fmt::kSetInvalid, 1);
    setInt(bytes, fmt::kHeaderSetCount, 1);
    NlqCatalog* catalog = openBytes(bytes);
    ASSERT_NE(catalog, nullptr);
    const char* fallback = "fallback";
    EXPECT_EQ(nlq_catgets(catalog, 1, 1, fallback, nullptr), fallback);
    EXPECT_STREQ(nlq_catgets(catalog, 2, 1, fallback, nullptr), "uno");
}

TEST_F(CatalogFile, DamagedSetsStayUnloaded)
{
    const struct {
        const char* what;
        std::function<void(Bytes&)> damage;
    } cases[] = {
        {"text offset at the end of the block", [](Bytes& b) { setInt(b, kIndex1 + 4, 8); }},
        {"negative text offset", [](Bytes& b) { setInt(b, kIndex1 + 4, -1); }},
        {"text without a terminator", [](Bytes& b) { b[kText1 + 7] = 'x'; }},
        {"message numbers out of order", [](Bytes& b) { setInt(b, kIndex1 + 12, 1); }},
        {"message number 0", [](Bytes& b) { setInt(b, kIndex1, 0); }},
    };
    for (const auto& c : cases) {
        Bytes bytes = nlq_test::compileCatalog(kTwoSets);
        c.damage(bytes);
        NlqCatalog* catalog = openBytes(bytes);
        ASSERT_NE(catalog, nullptr) << c.what;
        const char* fallback = "fallback";
        EXPECT_EQ(nlq_catgets(catalog, 1, 1, fallback, nullptr), fallback) << c.what;
        EXPECT_FALSE(nlq::catalogSetLoaded(catalog, 1)) << c.what;
        EXPECT_STREQ(nlq_catgets(catalog, 2, 1, fallback, nullptr), "uno") << c.what;
    }

    // Index entries that share a text are fine while the slots fit the areas; beyond
    // that the texts overlap more than the set's buffers hold.
    Bytes shared = nlq_test::compileCatalog("1 one\n2 two\n");
    setInt(shared, 28 + 28 + 12 + 4, 0);  // message 2 reads "one" as well
    NlqCatalog* sharing = openBytes(shared);
    ASSERT_NE(sharing, nullptr);
    EXPECT_STREQ(nlq_catgets(sharing, 1, 2, "d", nullptr), "one");
    Bytes overlapping = nlq_test::compileCatalog("1 aaaaaaaaaa\n2 b\n");
    setInt(overlapping, 28 + 28 + 12 + 4, 0);
    NlqCatalog* overlapped = openBytes(overlapping);
    ASSERT_NE(overlapped, nullptr);
    EXPECT_STREQ(nlq_catgets(overlapped, 1, 1, "d", nullptr), "d");
}

TEST_F(CatalogFile, SetsAreReadOnFirstUse)
{
    nlq_test::writeFile(scratch.path() / "lazy.cat", nlq_test::compileCatalog(kTwoSets));
    NlqCatalog* catalog = nlq_catopen("./lazy.cat", 0, nullptr);
    ASSERT_NE(catalog, nullptr);
    EXPECT_FALSE(nlq::catalogSetLoaded(catalog, 1));
    EXPECT_FALSE(nlq::catalogSetLoaded(catalog, 2));
    EXPECT_STREQ(nlq_catgets(catalog, 2, 1, "d", nullptr), "uno");
    EXPECT_FALSE(nlq::catalogSetLoaded(catalog, 1));
    EXPECT_TRUE(nlq::catalogSetLoaded(catalog, 2));

    // The file stays open: set 1's texts changed on disk after the open are what it reads.
    {
        std::fstream patch(scratch.path() / "lazy.cat", std::ios::in | std::ios::out | std::ios::binary);
        patch.seekp(static_cast<std::streamoff>(kText1));
        patch.write("ONE", 3);
    }
    EXPECT_STREQ(nlq_catgets(catalog, 1, 1, "d", nullptr), "ONE");
    EXPECT_TRUE(nlq::catalogSetLoaded(catalog, 1));
}

TEST_F(CatalogFile, Lookups)
{
    writeCatalog("many.cat",
                 "$set 1\n1 s1m1\n"
                 "$set 3\n1 s3m1\n"
                 "$set 7\n1 s7m1\n2 s7m2\n5 s7m5\n9 s7m9\n1000 s7m1000\n"
                 "$set 100\n"
                 "$set 2147483647\n2147483647 last\n");
    NlqCatalog* catalog = nlq_catopen("./many.cat", 0, nullptr);
    ASSERT_NE(catalog, nullptr);
    const char* fallback = "fallback";
    const struct {
        std::int32_t set, message;
        const char* text;  // null: the default text pointer
    } cases[] = {
        {1, 1, "s1m1"}, {3, 1, "s3m1"}, {7, 1, "s7m1"}, {7, 2, "s7m2"}, {7, 5, "s7m5"},
        {7, 9, "s7m9"}, {7, 1000, "s7m1000"}, {2147483647, 2147483647, "last"},
        {7, 3, nullptr}, {7, 999, nullptr}, {7, 1001, nullptr}, {7, 0, nullptr}, {7, -1, nullptr},
        {2, 1, nullptr}, {0, 1, nullptr}, {-1, 1, nullptr}, {100, 1, nullptr}, {101, 1, nullptr},
        {3, 2, nullptr},
    };
    for (const auto& c : cases) {
        const char* text = nlq_catgets(catalog, c.set, c.message, fallback, nullptr);
        if (c.text)
            EXPECT_STREQ(text, c.text) << c.set << "/" << c.message;
        else
            EXPECT_EQ(text, fallback) << c.set << "/" << c.message;
    }
    EXPECT_EQ(nlq_catgets(nullptr, 1, 1, fallback, nullptr), fallback);
}

// A codeset record built from a table image, as the codeset service opens it.
NlqCodeset* codesetFrom(const std::vector<unsigned char>& image)
{
    auto* copy = static_cast<unsigned char*>(std::malloc(image.size()));
    std::memcpy(copy, image.data(), image.size());
    return nlq_codeset_from_table(copy, image.size());
}

TEST_F(CatalogFile, Codesets)
{
    writeCatalog("text.cat", "1 gr\xC3\xBCn\n2 plain\n");
    NlqCodeset* latin1 = codesetFrom(nlq_test::latin1Table("LATIN1"));
    NlqCodeset* ascii = codesetFrom(nlq_test::sbcsTable("ASCII", {}));
    ASSERT_NE(latin1, nullptr);
    ASSERT_NE(ascii, nullptr);

    // The process codeset at the time the set is read decides the default-codeset texts.
    nlq_set_current_codeset(latin1);
    NlqCatalog* catalog = nlq_catopen("./text.cat", 0, nullptr);
    ASSERT_NE(catalog, nullptr);
    EXPECT_STREQ(nlq_catgets(catalog, 1, 1, "d", nullptr), "gr\xFCn");
    nlq_set_current_codeset(nullptr);
    EXPECT_STREQ(nlq_catgets(catalog, 1, 1, "d", nullptr), "gr\xFCn");

    // The built-in UTF-8 codeset gives the stored text itself.
    const char* stored = nlq_catgets(catalog, 1, 1, "d", nlq_codeset_utf8());
    EXPECT_STREQ(stored, "gr\xC3\xBCn");
    EXPECT_EQ(nlq_catgets(catalog, 1, 1, "d", nlq_codeset_utf8()), stored);

    // Any other codeset converts into the message's own slot; the next request in another
    // codeset overwrites it.
    const char* inLatin1 = nlq_catgets(catalog, 1, 1, "d", latin1);
    EXPECT_STREQ(inLatin1, "gr\xFCn");
    const char* inAscii = nlq_catgets(catalog, 1, 1, "d", ascii);
    EXPECT_EQ(inAscii, inLatin1);
    EXPECT_STREQ(inLatin1, "gr?n");
    EXPECT_EQ(nlq_substitution_count(ascii), 1u);
    EXPECT_STREQ(nlq_catgets(catalog, 1, 2, "d", ascii), "plain");
    EXPECT_STREQ(inLatin1, "gr?n");  // other messages have slots of their own

    nlq_codeset_close(latin1);
    nlq_codeset_close(ascii);
}

}  // namespace
