// Differential tests of every generated codeset table against the C library's iconv:
// every byte sequence of the single- and double-byte codesets (and of the EUC and
// GB 18030 sequence spaces), and every code point of the Basic Multilingual Plane (all
// planes for GB 18030), in both directions, through the UCS-2 and the UTF-8 wrappers.
//
// Where iconv refuses a character our converters substitute '?' (0x6F on the EBCDIC
// side) and count it; where iconv reports an incomplete sequence the stepping engine
// answers "incomplete". The deliberate differences are listed in kExceptions.
#include "tests/i18n-codeset/codeset_test_support.h"

#ifndef _WIN32
#include <iconv.h>
#endif

#include <functional>
#include <map>

using namespace codeset_test;

namespace {

#ifndef _WIN32

struct DiffCase {
    const char* table;
    const char* iconvName;
    uint16_t kind;
};

const DiffCase kCases[] = {
    {"1252", "CP1252", NLQ_KIND_SBCS},          {"437", "IBM437", NLQ_KIND_SBCS},
    {"850", "IBM850", NLQ_KIND_SBCS},           {"ISO88591", "ISO-8859-1", NLQ_KIND_SBCS},
    {"ISO885915", "ISO-8859-15", NLQ_KIND_SBCS}, {"932", "CP932", NLQ_KIND_DBCS},
    {"EUCJP", "EUC-JP", NLQ_KIND_MBCS},         {"GB18030", "GB18030", NLQ_KIND_GB18030},
    {"1047", "IBM1047", NLQ_KIND_EBCDIC_SBCS},  {"037", "IBM037", NLQ_KIND_EBCDIC_SBCS},
    {"939", "IBM939", NLQ_KIND_EBCDIC_STATEFUL},
};

// Deliberate differences from iconv; an empty value means "substituted and counted".
//  - EBCDIC: the next-line byte 0x15 reads as a line feed (like 0x25), and the line feed
//    writes as 0x15, the EBCDIC line end.
//  - Stateful EBCDIC: outside a double-byte stretch 0x0F is an invariant byte and reads
//    as U+000F; U+000E and U+000F are invariant code points, written as 0x0E (which
//    opens a stretch, closed again at the end of the buffer) and 0x0F.
//  - GB 18030: U+FFFF cannot be held by the tables (0xFFFF is their "no mapping"); the
//    six two-byte codes that iconv reads as supplementary-plane characters are
//    unmappable, and those characters are written as their computed four-byte codes.
//  - EUC (kind 3): a lead byte always takes as many bytes as its class says, so a
//    sequence shorter than that is incomplete even when iconv already sees that its
//    second byte is invalid (see sequenceShorterThanClass).
struct Exceptions {
    std::map<std::string, std::u16string> toUnicode;  // byte sequence -> code units
    std::map<uint32_t, std::string> fromUnicode;      // code point -> bytes
};
const std::map<std::string, Exceptions> kExceptions = {
    {"1047", {{{"\x15", u"\n"}}, {{0x0A, "\x15"}}}},
    {"037", {{{"\x15", u"\n"}}, {{0x0A, "\x15"}}}},
    {"939", {{{"\x15", u"\n"}, {"\x0F", u"\x0F"}}, {{0x0A, "\x15"}, {0x0E, "\x0E\x0F"}, {0x0F, "\x0F"}}}},
    {"GB18030",
     {{{"\xFE\x51", u""}, {"\xFE\x52", u""}, {"\xFE\x53", u""}, {"\xFE\x6C", u""}, {"\xFE\x76", u""},
       {"\xFE\x91", u""}, {"\x84\x31\xA4\x39", u""}},
      {{0xFFFF, ""},
       {0x20087, "\x95\x32\x90\x31"},
       {0x20089, "\x95\x32\x90\x33"},
       {0x200CC, "\x95\x32\x97\x30"},
       {0x215D7, "\x95\x36\xB9\x37"},
       {0x2298F, "\x96\x30\xBA\x35"},
       {0x241FE, "\x96\x35\xB6\x30"}}}},
};

bool sequenceShorterThanClass(const NlqCodeset* cs, const std::string& seq) {
    if (cs->kind != NLQ_KIND_MBCS) return false;
    unsigned cls = cs->table[nlq_table::kClassOffset + static_cast<unsigned char>(seq[0])];
    return cls >= 2 && cls != 255 && seq.size() < cls;
}

std::string utf8Of(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string unitsOf(uint32_t cp) {
    if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
    cp -= 0x10000;
    return {static_cast<char16_t>(0xD800 | (cp >> 10)), static_cast<char16_t>(0xDC00 | (cp & 0x3FF))};
}

std::string firstOf(const std::vector<std::string>& failures) {
    std::string text;
    for (size_t i = 0; i < failures.size() && i < 12; ++i) text += failures[i] + "\n";
    return text;
}

enum class Outcome { Ok, Invalid, Incomplete };

class Iconv {
public:
    explicit Iconv(const char* name)
        : to_(iconv_open("UTF-16LE", name)), from_(iconv_open(name, "UTF-16LE")) {}
    ~Iconv() {
        if (ok()) {
            iconv_close(to_);
            iconv_close(from_);
        }
    }
    bool ok() const { return to_ != reinterpret_cast<iconv_t>(-1) && from_ != reinterpret_cast<iconv_t>(-1); }

    Outcome decode(const std::string& in, std::u16string* out) {
        iconv(to_, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* inp = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char* outp = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(to_, &inp, &inLeft, &outp, &outLeft);
        int error = rc == static_cast<size_t>(-1) ? errno : 0;
        out->assign(reinterpret_cast<char16_t*>(buffer), (outp - buffer) / 2);
        if (error == EINVAL) return Outcome::Incomplete;
        return error || inLeft ? Outcome::Invalid : Outcome::Ok;
    }

    bool encode(const std::u16string& units, std::string* out) {
        iconv(from_, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* inp = reinterpret_cast<char*>(const_cast<char16_t*>(units.data()));
        size_t inLeft = units.size() * 2;
        char* outp = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(from_, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft) return false;
        if (iconv(from_, nullptr, nullptr, &outp, &outLeft) == static_cast<size_t>(-1)) return false;
        out->assign(buffer, outp);
        return true;
    }

private:
    iconv_t to_;
    iconv_t from_;
};

// Calls `visit` with every byte sequence of the codeset's sequence space.
void forEachSequence(const DiffCase& c, Iconv& iconv, const std::function<void(const std::string&)>& visit) {
    std::u16string ignored;
    switch (c.kind) {
    case NLQ_KIND_EBCDIC_STATEFUL:
        for (int b = 0; b < 256; ++b)
            if (b != 0x0E) visit(std::string(1, static_cast<char>(b)));
        for (int lead = 0x40; lead <= 0xFE; ++lead)
            for (int trail = 0; trail < 256; ++trail) visit(bytes({0x0E, lead, trail, 0x0F}));
        return;
    case NLQ_KIND_GB18030:
        for (int b = 0; b < 256; ++b) visit(std::string(1, static_cast<char>(b)));
        for (int b1 = 0x81; b1 <= 0xFE; ++b1)
            for (int b2 = 0x40; b2 <= 0xFE; ++b2)
                if (b2 != 0x7F) visit(bytes({b1, b2}));
        for (int b1 : {0x81, 0x82, 0x83, 0x84})
            for (int b2 = 0x30; b2 <= 0x39; ++b2)
                for (int b3 = 0x81; b3 <= 0xFE; ++b3)
                    for (int b4 = 0x30; b4 <= 0x39; ++b4) visit(bytes({b1, b2, b3, b4}));
        for (int b1 = 0x90; b1 <= 0xE3; ++b1)
            for (int b2 = 0x30; b2 <= 0x39; ++b2)
                for (int b3 = 0x81; b3 <= 0xFE; ++b3)
                    for (int b4 = 0x30; b4 <= 0x39; ++b4) visit(bytes({b1, b2, b3, b4}));
        return;
    default: {
        // Every sequence that iconv reads as incomplete is extended by every byte.
        std::function<void(const std::string&)> walk = [&](const std::string& prefix) {
            for (int b = 0; b < 256; ++b) {
                std::string seq = prefix + static_cast<char>(b);
                visit(seq);
                if (seq.size() < 3 && iconv.decode(seq, &ignored) == Outcome::Incomplete) walk(seq);
            }
        };
        walk("");
        return;
    }
    }
}

class IconvDifferential : public ::testing::TestWithParam<DiffCase> {};

TEST_P(IconvDifferential, EveryByteSequenceDecodesAsIconvDoes) {
    const DiffCase& c = GetParam();
    CodesetPtr cs = loadTable(c.table);
    ASSERT_TRUE(cs) << "table " << c.table << " not generated in " << dataDir();
    ASSERT_EQ(cs->kind, c.kind);
    Iconv iconv(c.iconvName);
    ASSERT_TRUE(iconv.ok());
    const auto exceptions = kExceptions.count(c.table) ? kExceptions.at(c.table) : Exceptions{};
    std::vector<std::string> failures;
    size_t checked = 0;
    forEachSequence(c, iconv, [&](const std::string& seq) {
        ++checked;
        std::u16string expected;
        Outcome outcome = iconv.decode(seq, &expected);
        if (auto e = exceptions.toUnicode.find(seq); e != exceptions.toUnicode.end()) {
            expected = e->second;
            outcome = expected.empty() ? Outcome::Invalid : Outcome::Ok;
        }
        if (outcome == Outcome::Invalid && sequenceShorterThanClass(cs.get(), seq)) outcome = Outcome::Incomplete;
        nlq_substitution_count(cs.get());
        if (outcome == Outcome::Incomplete) {
            NlqUcs2 out[4];
            const char* in = seq.data();
            size_t inLeft = seq.size(), outLeft = 4;
            NlqUcs2* o = out;
            cs->inputShift = 0;
            int rc = nlq_step_to_ucs2(cs.get(), &in, &inLeft, &o, &outLeft);
            if (rc != NLQ_STEP_INCOMPLETE || outLeft != 4 || inLeft != seq.size())
                failures.push_back(hex(seq) + "expected incomplete");
            return;
        }
        std::u16string ours = toUcs2(cs.get(), seq);
        unsigned substitutions = nlq_substitution_count(cs.get());
        if (outcome == Outcome::Ok) {
            std::string ours8 = toUtf8(cs.get(), seq);
            if (ours != expected || substitutions != 0 || ours8 != utf8Of(expected))
                failures.push_back(hex(seq) + "-> " + hex(utf8Of(ours)) + "expected " + hex(utf8Of(expected)));
        } else if (ours.empty() || ours[0] != u'?' || substitutions == 0) {
            failures.push_back(hex(seq) + "-> " + hex(utf8Of(ours)) + "expected substitution");
        }
    });
    EXPECT_GT(checked, 255u);
    EXPECT_TRUE(failures.empty()) << failures.size() << " sequences differ:\n" << firstOf(failures);
}

TEST_P(IconvDifferential, EveryCodePointEncodesAsIconvDoes) {
    const DiffCase& c = GetParam();
    CodesetPtr cs = loadTable(c.table);
    ASSERT_TRUE(cs) << "table " << c.table << " not generated in " << dataDir();
    Iconv iconv(c.iconvName);
    ASSERT_TRUE(iconv.ok());
    const auto exceptions = kExceptions.count(c.table) ? kExceptions.at(c.table) : Exceptions{};
    const bool ebcdic = c.kind == NLQ_KIND_EBCDIC_SBCS || c.kind == NLQ_KIND_EBCDIC_STATEFUL;
    const std::string substitute = ebcdic ? "\x6F" : "?";
    const uint32_t last = c.kind == NLQ_KIND_GB18030 ? 0x10FFFF : 0x1FFFF;
    std::vector<std::string> failures;
    for (uint32_t cp = 0; cp <= last; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::u16string units = unitsOf(cp);
        std::string expected;
        bool mapped = iconv.encode(units, &expected);
        if (auto e = exceptions.fromUnicode.find(cp); e != exceptions.fromUnicode.end()) {
            expected = e->second;
            mapped = !expected.empty();
        }
        nlq_substitution_count(cs.get());
        std::string ours = fromUcs2(cs.get(), units);
        std::string ours8 = fromUtf8(cs.get(), utf8Of(units));
        unsigned substitutions = nlq_substitution_count(cs.get());
        bool good;
        if (cp > 0xFFFF && c.kind != NLQ_KIND_GB18030) {
            // Codesets of the Basic Multilingual Plane take UCS-2 unit by unit: both
            // halves of the pair are substituted; from UTF-8 the character is one.
            good = ours == substitute + substitute && ours8 == substitute && substitutions == 3;
        } else if (mapped) {
            good = ours == expected && ours8 == expected && substitutions == 0;
        } else {
            good = ours == substitute && ours8 == substitute && substitutions == 2;
        }
        if (!good) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X ", cp);
            failures.push_back(name + hex(ours) + "/ " + hex(ours8) + "expected " +
                               (mapped ? hex(expected) : "substitution"));
        }
    }
    EXPECT_TRUE(failures.empty()) << failures.size() << " code points differ:\n" << firstOf(failures);
}

INSTANTIATE_TEST_SUITE_P(Tables, IconvDifferential, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DiffCase>& info) {
                             return std::string("T") + info.param.table;
                         });

#else

TEST(IconvDifferential, NeedsTheCLibrarysIconv) {
    GTEST_SKIP() << "the Windows C runtime has no iconv to compare with; the POSIX build runs these";
}

#endif

}  // namespace
