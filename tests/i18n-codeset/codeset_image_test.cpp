// Records built from table images: which images are refused, what the record takes from
// the header, and that entries pointing outside the image convert as unmappable instead
// of being read.
#include <array>

#include "tests/i18n-codeset/codeset_test_support.h"

using namespace codeset_test;
namespace tbl = nlq_table;

namespace {

// Kind 1 image: bytes 0x80.. map to U+0080.., one from-Unicode row for high byte 0.
ImageBuilder latinImage(uint8_t byteForE9 = 0xE9) {
    ImageBuilder b(NLQ_KIND_SBCS, "LATIN");
    std::vector<uint8_t> row(256, '?');
    for (unsigned c = 0; c < 256; ++c) row[c] = static_cast<uint8_t>(c);
    row['?'] = '?';
    row[0xE9] = byteForE9;
    uint16_t r = b.addRow(row);
    b.put16(tbl::kFromRowsOffset, r);
    for (unsigned c = 0x80; c < 256; ++c) b.put16(tbl::kToTableOffset + 2 * c, static_cast<uint16_t>(c));
    return b;
}

TEST(CodesetImage, ImagesThatDoNotHoldTogetherAreRefused) {
    EXPECT_EQ(nlq_codeset_from_table(nullptr, 5000), nullptr);
    struct Case {
        const char* what;
        std::function<void(ImageBuilder&)> spoil;
        uint16_t kind;
    };
    const Case cases[] = {
        {"short", [](ImageBuilder& b) { b.bytes().resize(tbl::kMinImageSize - 1); }, NLQ_KIND_SBCS},
        {"magic", [](ImageBuilder& b) { b.put8(tbl::kMagicOffset + 2, 'x'); }, NLQ_KIND_SBCS},
        {"row area", [](ImageBuilder& b) { b.put32(tbl::kRowAreaOffset, 1u << 20); }, NLQ_KIND_DBCS},
        {"range table offset", [](ImageBuilder& b) { b.put16(tbl::kRangeTableOffset, 0xFFF0); }, NLQ_KIND_GB18030},
        {"range header cut",
         [](ImageBuilder& b) { b.put16(tbl::kRangeTableOffset, static_cast<uint16_t>(b.bytes().size() - 8)); },
         NLQ_KIND_GB18030},
        {"range start beyond body",
         [](ImageBuilder& b) {
             size_t at = b.bytes().size();
             b.put16(tbl::kRangeTableOffset, static_cast<uint16_t>(at));
             b.put32(at + 20, 1000);  // to-Unicode index start
             b.put32(at + 28, 0);
         },
         NLQ_KIND_GB18030},
    };
    for (const Case& c : cases) {
        ImageBuilder b(c.kind);
        c.spoil(b);
        EXPECT_EQ(b.build(), nullptr) << c.what;
    }
}

TEST(CodesetImage, RecordTakesItsFieldsFromTheHeader) {
    ImageBuilder b(NLQ_KIND_DBCS, "");
    std::memset(&b.bytes()[tbl::kNameOffset], 'N', tbl::kNameSize);  // no terminator
    b.put16(tbl::kHeaderValueBOffset, 0x1234);
    b.put16(tbl::kHeaderValueAOffset, 0x5678);
    for (size_t i = 0; i < tbl::kHeaderBlockSize; ++i) b.put8(tbl::kHeaderBlockOffset + i, static_cast<uint8_t>(i + 1));
    CodesetPtr cs = b.build();
    ASSERT_TRUE(cs);
    EXPECT_EQ(cs->kind, NLQ_KIND_DBCS);
    EXPECT_EQ(std::string(cs->name), std::string(31, 'N'));
    EXPECT_EQ(cs->headerValueB, 0x1234);
    EXPECT_EQ(cs->headerValueA, 0x5678);
    EXPECT_EQ(cs->headerBlock[15], 16);
    EXPECT_EQ(cs->openMarker, 1);
    EXPECT_EQ(cs->sharesTable, 0);
    EXPECT_EQ(cs->tableSize, b.bytes().size());

    ImageBuilder marked(NLQ_KIND_SBCS);
    marked.put16(tbl::kEbcdicMarkOffset, tbl::kEbcdicMark);
    EXPECT_EQ(marked.build()->kind, NLQ_KIND_EBCDIC_SBCS);

    ImageBuilder unknown(7);  // an unknown kind passes bytes through
    CodesetPtr other = unknown.build();
    EXPECT_EQ(toUtf8(other.get(), "\xE9"), "\xE9");
    EXPECT_EQ(fromUcs2(other.get(), u"\xE9\x0100"), "\xE9?");
}

TEST(CodesetImage, SubstitutionByteInARowIsUnmappableExceptForItsOwnCodePoint) {
    CodesetPtr mapped = latinImage().build();
    EXPECT_EQ(fromUtf8(mapped.get(), "\xC3\xA9"), "\xE9");
    CodesetPtr holes = latinImage('?').build();
    nlq_substitution_count(holes.get());
    EXPECT_EQ(fromUtf8(holes.get(), "\xC3\xA9"), "?");
    EXPECT_EQ(nlq_substitution_count(holes.get()), 1u);
    // When offset 58 names U+00E9 as the code point of the substitution byte, it maps.
    ImageBuilder genuine = latinImage('?');
    genuine.put16(tbl::kSubstCodePointOffset, 0xE9);
    CodesetPtr cs = genuine.build();
    EXPECT_EQ(fromUtf8(cs.get(), "\xC3\xA9"), "?");
    EXPECT_EQ(nlq_substitution_count(cs.get()), 0u);
}

// A kind 10 image whose range table holds one to-Unicode record (first key, last key,
// kind, value) and a zero index; from: records 0, index 4, values 4; to: records 0, index 4.
CodesetPtr rangeImage(const std::array<uint16_t, 4>& record) {
    ImageBuilder b(NLQ_KIND_GB18030);
    const size_t at = b.bytes().size();
    b.put16(tbl::kRangeTableOffset, static_cast<uint16_t>(at));
    for (int i = 0; i < 6; ++i) b.put32(at + (i < 3 ? 4 * i : 4 * i + 4), i % 3 == 0 ? 0 : 4);
    const size_t body = at + tbl::kRangeHeaderSize;
    for (int i = 0; i < 4; ++i) b.put16(body + 2 * i, record[static_cast<size_t>(i)]);
    for (int i = 0; i < 128; ++i) b.put16(body + 8 + 2 * i, 0);
    return b.build();
}

TEST(CodesetImage, EntriesOutsideTheImageAreUnmappable) {
    struct Case {
        const char* what;
        std::function<CodesetPtr()> make;
        bool fromUtf8;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"kind 1 from-Unicode row beyond the image",
         [] {
             ImageBuilder b = latinImage();
             b.put16(tbl::kFromRowsOffset + 2 * 1, 0x7000);
             return b.build();
         },
         true, "\xC4\x80", "?"},
        {"kind 2 lead row beyond the image",
         [] {
             ImageBuilder b(NLQ_KIND_DBCS);
             b.put8(tbl::kClassOffset + 0x81, 2);
             b.put16(tbl::kToTableOffset + 2 * 0x81, 0xFFF0);
             return b.build();
         },
         false, "\x81\x40" "a", "?a"},
        {"kind 2 single-byte row missing",
         [] {
             ImageBuilder b(NLQ_KIND_DBCS);
             b.put8(tbl::kClassOffset + 0xA1, 1);
             return b.build();
         },
         false, "\xA1", "?"},
        {"kind 2 row that runs past the end of the image",
         [] {
             ImageBuilder b(NLQ_KIND_DBCS);
             uint16_t r = b.addRow(std::vector<uint8_t>(100, 0x41));  // 100 of 512 bytes
             b.put16(tbl::kFromRowsOffset + 2 * 0x4E, r);
             return b.build();
         },
         true, "\xE4\xB8\x80", "?"},
        {"kind 3 tree node beyond the image",
         [] {
             ImageBuilder b(NLQ_KIND_MBCS);
             b.put8(tbl::kClassOffset + 0xA1, 2);
             b.put16(tbl::kToTableOffset + 2 * 0xA1, 0x8000);
             return b.build();
         },
         false, "\xA1\xA1", "?"},
        {"kind 3 node count larger than the image",
         [] {
             ImageBuilder b(NLQ_KIND_MBCS);
             b.put8(tbl::kClassOffset + 0xA1, 2);
             uint16_t r = b.addRow(ImageBuilder::row16({0xFFF0, 0x00, 0x3042}));
             b.put16(tbl::kToTableOffset + 2 * 0xA1, r);
             return b.build();
         },
         false, std::string("\xA1\x00\xA1\xF0", 4), "\xE3\x81\x82?"},
        {"kind 3 prefix record beyond the image",
         [] {
             ImageBuilder b(NLQ_KIND_MBCS);
             std::vector<uint16_t> row(512, 0xFFFF);
             row[2 * 0x42] = 0x7000;   // prefix number
             row[2 * 0x42 + 1] = 0xA1A1;
             uint16_t r = b.addRow(ImageBuilder::row16(row));
             b.put16(tbl::kFromRowsOffset + 2 * 0x30, r);
             return b.build();
         },
         true, "\xE3\x81\x82", "?"},
        {"kind 3 prefix count above 14",
         [] {
             ImageBuilder b(NLQ_KIND_MBCS);
             std::vector<uint8_t> prefix(16, 0x8F);
             prefix[14] = 200;
             prefix[15] = 0;
             b.addRow(prefix);  // prefix record 0 at the start of the row area
             std::vector<uint16_t> row(512, 0xFFFF);
             row[2 * 0x42] = 0;
             row[2 * 0x42 + 1] = 0xA1A1;
             uint16_t r = b.addRow(ImageBuilder::row16(row));
             b.put16(tbl::kFromRowsOffset + 2 * 0x30, r);
             return b.build();
         },
         true, "\xE3\x81\x82", "?"},
        {"kind 4 lead row beyond the image",
         [] {
             ImageBuilder b(NLQ_KIND_EBCDIC_STATEFUL);
             b.put16(tbl::kToTableOffset + 2 * 0x45, 0x9000);
             return b.build();
         },
         false, "\x0E\x45\x62\x0F\xC1", "?A"},
        {"kind 10 walk off the end of the records", [] { return rangeImage({1, 5, 2, 0x4E00}); },  // keys 1..5
         false, "\x81\x40\x81\x45\xFE\xFE", "\xE4\xB8\x80??"},
        {"kind 10 value list entry beyond the image", [] { return rangeImage({1, 0xFFFE, 1, 0xF000}); }, false,
         "\x81\x40", "?"},
    };
    for (const Case& c : cases) {
        CodesetPtr cs = c.make();
        ASSERT_TRUE(cs) << c.what;
        std::string out = c.fromUtf8 ? fromUtf8(cs.get(), c.input) : toUtf8(cs.get(), c.input);
        EXPECT_EQ(hex(out), hex(c.expected)) << c.what;
    }
}

}  // namespace
