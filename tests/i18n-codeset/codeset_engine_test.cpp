// The stepping engines, buffer wrappers and per-character operations, through the
// generated tables and the built-in codesets: result codes and cursors in all four
// directions, shift states, surrogates, substitution and the cases where bytes meet the
// end of the input or of the output. What every table maps to, and where it substitutes,
// is the iconv differential test's; the cases here are the ones it cannot reach (full
// outputs, the built-in codesets, lone surrogates, state across calls).
#include "tests/i18n-codeset/codeset_test_support.h"

#include "i18n/nlq_locale.h"
#include "tests/support/ci_skip.h"

using namespace codeset_test;

namespace {

class CodesetEngine : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"1252", "932", "EUCJP", "GB18030", "1047", "939"}) {
            tables_[name] = loadTable(name);
            if (!tables_[name]) SKIP_OR_FAIL_IN_CI << "codeset tables not generated in " << dataDir();
        }
    }
    NlqCodeset* cs(const std::string& name) {
        if (name == "UTF8") return nlq_codeset_utf8();
        if (name == "OS") return nlq_codeset_passthrough();
        return tables_.at(name).get();
    }
    std::map<std::string, CodesetPtr> tables_;
};

// ---- Result codes and cursors ---------------------------------------------------------

struct ByteStep {
    const char* codeset;
    bool fromUtf8;     // else codeset bytes to UTF-8
    std::string input;
    size_t capacity;
    int result;
    size_t consumed;
    std::string output;
};

TEST_F(CodesetEngine, Utf8DirectionsStopWithTheRightResultAndCursors) {
    const ByteStep cases[] = {
        {"1252", false, "a\xE9", 2, NLQ_STEP_OUTPUT_FULL, 1, "a"},
        {"1252", true, "\xC3\xA9", 1, NLQ_STEP_DONE, 2, "\xE9"},
        {"1252", true, "ab\xC3", 10, NLQ_STEP_INCOMPLETE, 2, "ab"},
        {"1252", true, "\xE2\x82\xAC", 0, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"932", false, "a\x93", 10, NLQ_STEP_INCOMPLETE, 1, "a"},
        {"932", false, "\x93\xFA", 2, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"932", true, "\xE6\x97\xA5", 1, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"932", true, "\xE6\x97\xA5", 2, NLQ_STEP_DONE, 3, "\x93\xFA"},
        {"EUCJP", false, "\x8F\xB0", 10, NLQ_STEP_INCOMPLETE, 0, ""},
        {"EUCJP", true, "\xE4\xB8\x82", 2, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"GB18030", false, "\x90\x30\x81", 10, NLQ_STEP_INCOMPLETE, 0, ""},
        {"GB18030", false, "\x90\x30\x81\x30", 3, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"GB18030", true, "\xF0\x90\x80", 10, NLQ_STEP_INCOMPLETE, 0, ""},
        {"GB18030", false, "\x81\x20", 10, NLQ_STEP_DONE, 2, "? "},  // invalid trail: the lead alone
        {"939", true, "\xE6\x97\xA5", 2, NLQ_STEP_OUTPUT_FULL, 0, ""},
        {"939", false, "\x0E\x45", 10, NLQ_STEP_INCOMPLETE, 1, ""},
        {"UTF8", false, "a\xF0\x90\x80", 10, NLQ_STEP_INCOMPLETE, 1, "a"},
        {"UTF8", false, "\x80\xFF", 10, NLQ_STEP_DONE, 2, "??"},
        {"UTF8", true, "\xF4\x90\x80\x80", 10, NLQ_STEP_DONE, 4, "?"},  // beyond U+10FFFF
        {"OS", false, "\xE9\x80", 1, NLQ_STEP_OUTPUT_FULL, 1, "\xE9"},
        {"OS", true, "\xC3", 5, NLQ_STEP_DONE, 1, "\xC3"},
    };
    for (const ByteStep& c : cases) {
        SCOPED_TRACE(std::string(c.codeset) + (c.fromUtf8 ? " from " : " to ") + hex(c.input));
        NlqCodeset* codeset = cs(c.codeset);
        codeset->inputShift = codeset->outputShift = 0;
        std::string out(16, '\0');
        const char* in = c.input.data();
        size_t inLeft = c.input.size();
        char* o = out.data();
        size_t outLeft = c.capacity;
        int rc = c.fromUtf8 ? nlq_step_from_utf8(codeset, &in, &inLeft, &o, &outLeft)
                            : nlq_step_to_utf8(codeset, &in, &inLeft, &o, &outLeft);
        EXPECT_EQ(rc, c.result);
        EXPECT_EQ(static_cast<size_t>(in - c.input.data()), c.consumed);
        EXPECT_EQ(inLeft, c.input.size() - c.consumed);
        EXPECT_EQ(outLeft, c.capacity - static_cast<size_t>(o - out.data()));
        EXPECT_EQ(hex(out.substr(0, static_cast<size_t>(o - out.data()))), hex(c.output));
    }
}

struct UnitStep {
    const char* codeset;
    bool fromUcs2;
    std::string bytes;      // codeset side
    std::u16string units;   // UCS-2 side
    size_t capacity;
    int result;
    size_t consumed;        // input elements
};

TEST_F(CodesetEngine, Ucs2DirectionsStopWithTheRightResultAndCursors) {
    const UnitStep cases[] = {
        {"GB18030", false, "\x90\x30\x81\x30", u"", 1, NLQ_STEP_OUTPUT_FULL, 0},
        {"GB18030", true, "", u"\xD800", 4, NLQ_STEP_INCOMPLETE, 0},
        {"GB18030", true, "?", u"\xD800" u"a", 4, NLQ_STEP_DONE, 2},   // high + letter: both units
        {"GB18030", true, "?", u"\xDC00", 4, NLQ_STEP_DONE, 1},         // lone low surrogate
        {"UTF8", true, "?", u"\xD800" u"a", 4, NLQ_STEP_DONE, 2},
        {"UTF8", false, "\xF0\x9F\x98\x80", u"\xD83D\xDE00", 2, NLQ_STEP_DONE, 4},
        {"UTF8", true, "\xF0\x9F\x98\x80", u"\xD83D\xDE00", 3, NLQ_STEP_OUTPUT_FULL, 0},
        {"932", true, "\x93\xFA", u"\x65E5", 1, NLQ_STEP_OUTPUT_FULL, 0},
        {"939", true, "\x0E\x45\x62", u"\x65E5\x672C", 4, NLQ_STEP_OUTPUT_FULL, 1},
    };
    for (const UnitStep& c : cases) {
        SCOPED_TRACE(std::string(c.codeset) + (c.fromUcs2 ? " from UCS-2 " : " to UCS-2 ") + hex(c.bytes));
        NlqCodeset* codeset = cs(c.codeset);
        codeset->inputShift = codeset->outputShift = 0;
        if (c.fromUcs2) {
            std::string out(16, '\0');
            const NlqUcs2* in = reinterpret_cast<const NlqUcs2*>(c.units.data());
            size_t inLeft = c.units.size();
            char* o = out.data();
            size_t outLeft = c.capacity;
            int rc = nlq_step_from_ucs2(codeset, &in, &inLeft, &o, &outLeft);
            EXPECT_EQ(rc, c.result);
            EXPECT_EQ(static_cast<size_t>(in - reinterpret_cast<const NlqUcs2*>(c.units.data())), c.consumed);
            size_t written = static_cast<size_t>(o - out.data());
            EXPECT_EQ(outLeft, c.capacity - written);
            EXPECT_EQ(hex(out.substr(0, written)), hex(c.bytes.substr(0, written)));
            if (c.result == NLQ_STEP_DONE) {
                EXPECT_EQ(written, c.bytes.size());
            }
        } else {
            std::u16string out(16, u'\0');
            const char* in = c.bytes.data();
            size_t inLeft = c.bytes.size();
            NlqUcs2* o = reinterpret_cast<NlqUcs2*>(out.data());
            size_t outLeft = c.capacity;
            int rc = nlq_step_to_ucs2(codeset, &in, &inLeft, &o, &outLeft);
            EXPECT_EQ(rc, c.result);
            EXPECT_EQ(static_cast<size_t>(in - c.bytes.data()), c.consumed);
            size_t written = static_cast<size_t>(o - reinterpret_cast<NlqUcs2*>(out.data()));
            EXPECT_EQ(out.substr(0, written), c.result == NLQ_STEP_DONE ? c.units : c.units.substr(0, written));
        }
    }
}

// ---- Stateful EBCDIC -------------------------------------------------------------------

TEST_F(CodesetEngine, StatefulOutputSharesShiftOutsAndClosesAtTheEnd) {
    // Two double-byte characters, an invariant one, one more double-byte character.
    EXPECT_EQ(hex(fromUtf8(cs("939"), "\xE6\x97\xA5\xE6\x9C\xAC" "a" "\xE8\xAA\x9E")),
              hex("\x0E\x45\x62\x45\x66\x0F\x81\x0E\x48\xE7\x0F"));
    EXPECT_EQ(cs("939")->outputShift, 0);
    // The input direction: shift-out, a code, 0x15 (below 0x40: built-in table), shift-in.
    EXPECT_EQ(toUcs2(cs("939"), "\x0E\x45\x62\x15\x0F" "\x81"), u"\x65E5\na");
    EXPECT_EQ(cs("939")->inputShift, 0);
    // A flush without room for the shift-in reports a full output.
    NlqCodeset* ebcdic = cs("939");
    ebcdic->outputShift = 1;
    char out[1];
    char* o = out;
    size_t left = 0;
    EXPECT_EQ(nlq_step_from_utf8(ebcdic, nullptr, nullptr, &o, &left), NLQ_STEP_OUTPUT_FULL);
    left = 1;
    EXPECT_EQ(nlq_step_from_utf8(ebcdic, nullptr, nullptr, &o, &left), NLQ_STEP_DONE);
    EXPECT_EQ(out[0], 0x0F);
    EXPECT_EQ(ebcdic->outputShift, 0);
    // A character without a mapping inside a stretch ends the stretch before its 0x6F.
    EXPECT_EQ(hex(fromUtf8(ebcdic, "\xE6\x97\xA5\xC4\x80")), hex("\x0E\x45\x62\x0F\x6F"));
}

TEST_F(CodesetEngine, WctombKeepsTheShiftStateBetweenCalls) {
    NlqCodeset* ebcdic = cs("939");
    EXPECT_EQ(nlq_wctomb(ebcdic, nullptr, 0), 1);
    EXPECT_EQ(nlq_wctomb(cs("1252"), nullptr, 0), 0);
    EXPECT_EQ(nlq_wctomb(cs("UTF8"), nullptr, 0), 0);
    char out[4];
    ASSERT_EQ(nlq_wctomb(ebcdic, out, 0x65E5), 3);
    EXPECT_EQ(hex(std::string(out, 3)), hex("\x0E\x45\x62"));
    ASSERT_EQ(nlq_wctomb(ebcdic, out, 0x672C), 2);  // same stretch
    EXPECT_EQ(hex(std::string(out, 2)), hex("\x45\x66"));
    ASSERT_EQ(nlq_wctomb(ebcdic, out, 'a'), 2);
    EXPECT_EQ(hex(std::string(out, 2)), hex("\x0F\x81"));
    EXPECT_EQ(nlq_wctomb(cs("UTF8"), out, 0xD800), -1);  // half a character
    ASSERT_EQ(nlq_wctomb(cs("932"), out, 0x65E5), 2);
    EXPECT_EQ(hex(std::string(out, 2)), hex("\x93\xFA"));
}

// ---- Built-in codesets --------------------------------------------------------------------

TEST_F(CodesetEngine, BuiltInCodesets) {
    NlqCodeset* utf8 = nlq_codeset_utf8();
    NlqCodeset* os = nlq_codeset_passthrough();
    EXPECT_TRUE(nlq_codeset_is_builtin(utf8));
    EXPECT_FALSE(nlq_codeset_is_builtin(cs("1252")));
    // UTF-8 to UTF-8 re-encodes: a stray continuation byte becomes '?'.
    EXPECT_EQ(fromUtf8(utf8, "a\x80" "b\xC3\xA9"), "a?b\xC3\xA9");
    // Pass-through copies bytes in the UTF-8 directions and maps bytes to code points.
    EXPECT_EQ(fromUtf8(os, "\xC3\xA9\xFF"), "\xC3\xA9\xFF");
    EXPECT_EQ(toUcs2(os, "\xE9"), u"\xE9");
    EXPECT_EQ(fromUcs2(os, u"\xE9\x0100"), "\xE9?");
    nlq_codeset_destroy(utf8);  // left alone
    EXPECT_EQ(nlq_codeset_utf8()->kind, NLQ_KIND_UTF8);
}

// ---- Buffer wrappers ----------------------------------------------------------------------

TEST_F(CodesetEngine, BufferWrappersTerminateCountAndCut) {
    NlqCodeset* latin = cs("1252");
    char out[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(nlq_from_utf8(latin, "abc", -1, out, 0), 0u);
    EXPECT_EQ(out[0], 'x');
    // NUL-terminated source: the terminator is written and counted.
    EXPECT_EQ(nlq_from_utf8(latin, "\xC3\xA9t\xC3\xA9", -1, out, sizeof out), 4u);
    EXPECT_EQ(std::string(out, 4), std::string("\xE9t\xE9\0", 4));
    // Cut off: the terminator still fits in the element kept for it.
    EXPECT_EQ(nlq_from_utf8(latin, "abcdef", -1, out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), std::string("abc\0", 4));
    // An incomplete character at the end is dropped; everything before it is written.
    EXPECT_EQ(nlq_from_utf8(latin, "ab\xC3", -1, out, sizeof out), 3u);
    EXPECT_EQ(std::string(out, 3), std::string("ab\0", 3));
    // Explicit length: no terminator.
    EXPECT_EQ(nlq_to_utf8(latin, "\xE9", 1, out, sizeof out), 2u);
    NlqUcs2 units[4];
    EXPECT_EQ(nlq_to_ucs2(latin, "\x80" "a", -1, units, 4), 3u);
    EXPECT_EQ(units[0], 0x20AC);
    EXPECT_EQ(units[2], 0);
    const NlqUcs2 wide[] = {0x20AC, 'z', 0};
    EXPECT_EQ(nlq_from_ucs2(latin, wide, -1, out, sizeof out), 3u);
    EXPECT_EQ(std::string(out, 3), std::string("\x80z\0", 3));
    // A stateful codeset's stretch is closed inside the capacity.
    EXPECT_EQ(nlq_from_utf8(cs("939"), "\xE6\x97\xA5", -1, out, sizeof out), 5u);
    EXPECT_EQ(std::string(out, 5), std::string("\x0E\x45\x62\x0F\0", 5));
}

TEST_F(CodesetEngine, NullCodesetMeansTheProcessCodeset) {
    NlqCodeset* previous = nlq_get_current_codeset();
    nlq_set_current_codeset(cs("1047"));
    char out[8];
    EXPECT_EQ(nlq_from_utf8(nullptr, "A", -1, out, sizeof out), 2u);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xC1);
    nlq_set_current_codeset(previous == cs("1047") ? nullptr : previous);
}

// Reading the count resets it (the differential test relies on that for every sequence);
// here: it saturates instead of wrapping to 0.
TEST_F(CodesetEngine, SubstitutionCountSaturates) {
    NlqCodeset* latin = cs("1252");
    latin->substitutionCount = 0xFFFE;
    fromUtf8(latin, "\xE4\xB8\x80\xE4\xB8\x80\xE4\xB8\x80");
    EXPECT_EQ(nlq_substitution_count(latin), 0xFFFFu);
    EXPECT_EQ(nlq_substitution_count(latin), 0u);
}

TEST_F(CodesetEngine, ConvenienceForms) {
    NlqCodeset* latin = cs("1252");
    char* holder = nullptr;
    char* text = nlq_from_utf8_dup(latin, "caf\xC3\xA9", &holder);
    EXPECT_EQ(text, holder);
    EXPECT_STREQ(text, "caf\xE9");
    EXPECT_STREQ(nlq_from_utf8_dup(latin, "ok", &holder), "ok");  // reuses the holder's buffer
    std::free(holder);
    char* empty = nlq_to_utf8_dup(latin, nullptr, nullptr);
    EXPECT_STREQ(empty, "");
    std::free(empty);
    char* utf8 = nlq_to_utf8_dup(latin, "\x80", nullptr);
    EXPECT_STREQ(utf8, "\xE2\x82\xAC");
    std::free(utf8);
    char* recoded = nlq_recode_dup(cs("932"), cs("EUCJP"), "\x93\xFA" "a", nullptr);
    EXPECT_STREQ(recoded, "\xC6\xFC" "a");
    std::free(recoded);
    size_t count = 99;
    char* raw = nlq_to_utf8_alloc(latin, "\xE9\xE9", 2, &count);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::string(raw, count), "\xC3\xA9\xC3\xA9");
    std::free(raw);
    raw = nlq_from_utf8_alloc(cs("939"), "\xE6\x97\xA5", 3, &count);
    EXPECT_EQ(std::string(raw, count), "\x0E\x45\x62\x0F");
    std::free(raw);
}

// ---- Per-character operations -----------------------------------------------------------

TEST_F(CodesetEngine, PerCharacterReads) {
    NlqUcs2 unit = 0;
    uint32_t cp = 0;
    EXPECT_EQ(nlq_mbtowc16(cs("932"), &unit, "\x93\xFA" "a", 3), 2);
    EXPECT_EQ(unit, 0x65E5);
    EXPECT_EQ(nlq_mbtowc16(cs("932"), &unit, "\x93", 1), -1);
    EXPECT_EQ(nlq_mbtowc16(cs("GB18030"), &unit, "\x90\x30\x81\x30", 4), -1);  // needs two units
    EXPECT_EQ(nlq_mbtowc(cs("GB18030"), &cp, "\x90\x30\x81\x30", 4), 4);
    EXPECT_EQ(cp, 0x10000u);
    NlqCodeset* ebcdic = cs("939");
    EXPECT_EQ(nlq_mbtowc(ebcdic, nullptr, nullptr, 0), 1);
    EXPECT_EQ(nlq_mbtowc(ebcdic, &cp, "\x0E\x45\x62\x0F", 4), 3);  // shift-out + character
    EXPECT_EQ(cp, 0x65E5u);
    EXPECT_EQ(ebcdic->inputShift, 1);
    EXPECT_EQ(nlq_mbtowc(ebcdic, nullptr, nullptr, 0), 1);
    EXPECT_EQ(ebcdic->inputShift, 0);
    EXPECT_EQ(nlq_mblen(cs("1252"), "\x81", 1), 1);
    EXPECT_EQ(nlq_mblen(cs("EUCJP"), "\x8F\xB0\xA1", 3), 3);
    EXPECT_EQ(nlq_mblen(cs("UTF8"), "", 1), 0);
}

TEST_F(CodesetEngine, WholeStrings) {
    const NlqUcs2 wide[] = {0x65E5, 'a', 0x8A9E, 0};
    EXPECT_EQ(nlq_wcstombs(cs("939"), nullptr, wide, 0), 9u);  // 0E xx xx 0F 81 0E xx xx 0F
    char out[16];
    EXPECT_EQ(nlq_wcstombs(cs("939"), out, wide, sizeof out), 9u);
    EXPECT_EQ(hex(std::string(out, 10)), hex(std::string("\x0E\x45\x62\x0F\x81\x0E\x48\xE7\x0F\0", 10)));
    EXPECT_EQ(nlq_wcstombs(cs("932"), nullptr, wide, 0), 5u);
    NlqUcs2 units[8];
    EXPECT_EQ(nlq_mbstowcs(cs("932"), nullptr, "\x93\xFA" "a", 0), 2u);
    EXPECT_EQ(nlq_mbstowcs(cs("932"), units, "\x93\xFA" "a", 8), 2u);
    EXPECT_EQ(units[0], 0x65E5);
    EXPECT_EQ(units[2], 0);
}

TEST_F(CodesetEngine, CharacterBoundaries) {
    const std::string sjis = "a\x93\xFA" "b";
    const bool expected[] = {true, true, false, true, true};
    for (size_t offset = 0; offset <= sjis.size(); ++offset)
        EXPECT_EQ(nlq_char_boundary(cs("932"), sjis.data(), sjis.size(), offset), expected[offset]) << offset;
    const std::string ebcdic = "\x81\x0E\x45\x62\x0F\x81";
    const bool expectedEbcdic[] = {true, false, true, false, false, true, true};
    for (size_t offset = 0; offset <= ebcdic.size(); ++offset)
        EXPECT_EQ(nlq_char_boundary(cs("939"), ebcdic.data(), ebcdic.size(), offset), expectedEbcdic[offset])
            << offset;
    EXPECT_EQ(cs("939")->inputShift, 0);  // the walk does not disturb the record
}

// ---- Time in a codeset -------------------------------------------------------------------

TEST_F(CodesetEngine, StrftimeInACodeset) {
    struct tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 9;
    t.tm_hour = 7;
    char out[64];
    char plain[64];
    NlqCodeset* os = nlq_get_os_codeset();
    size_t n = nlq_strftime(os, out, sizeof out, "%Y-%m-%d %H", &t);
    ASSERT_EQ(n, std::strftime(plain, sizeof plain, "%Y-%m-%d %H", &t));
    EXPECT_EQ(std::string(out, n), std::string(plain, n));
    // In EBCDIC: the format is EBCDIC too ("%Y" is 6C E8), so is the result.
    n = nlq_strftime(cs("1047"), out, sizeof out, "\x6C\xE8", &t);
    EXPECT_EQ(hex(std::string(out, n)), hex("\xF2\xF0\xF2\xF4"));
    EXPECT_EQ(nlq_strftime(cs("1047"), out, sizeof out, nullptr, &t), 0u);
    EXPECT_EQ(nlq_strftime(cs("1047"), out, sizeof out, "", &t), 0u);
}

// ---- Copies --------------------------------------------------------------------------------

TEST_F(CodesetEngine, CopiesShareTheTable) {
    NlqCodeset* original = cs("939");
    original->outputShift = 1;
    original->substitutionCount = 5;
    NlqCodeset* copy = nlq_codeset_copy(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->table, original->table);
    EXPECT_EQ(copy->substitutionCount, 0);
    EXPECT_EQ(hex(fromUtf8(copy, "\xE6\x97\xA5")), hex("\x0E\x45\x62\x0F"));
    nlq_codeset_destroy(copy);  // the original's table stays
    uint32_t size = 0;
    EXPECT_EQ(nlq_codeset_table(original, &size), original->table);
    EXPECT_EQ(size, original->tableSize);
    EXPECT_EQ(hex(fromUtf8(original, "\xE6\x97\xA5")), hex("\x0E\x45\x62\x0F"));
    EXPECT_EQ(nlq_codeset_table(nlq_codeset_utf8(), &size), nullptr);
    EXPECT_EQ(size, 0u);
}

}  // namespace
