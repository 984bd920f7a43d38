// GB 18030: one, two and four bytes. Two-byte codes and the four-byte codes of the Basic
// Multilingual Plane go through the range table (one half per direction); the four-byte
// codes from U+10000 on are computed.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {

namespace {

constexpr uint32_t kBlockShift = 9;           // the index has one entry per 512 keys
constexpr uint32_t kSupplementaryFirstKey = 213067;   // key of U+10000
constexpr uint32_t kSupplementaryLastKey = 1261642;   // key of U+10FFFF
constexpr uint32_t kSupplementaryKeyBias = 147531;    // key - bias = code point
constexpr uint32_t kSupplementaryLinearBias = 123464; // code point + bias = linear value

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kSingleByteFlag = 0x80000000u;  // from-Unicode type 0: the byte in the low bits

// Walks one half of the range table: the result of the first record that holds the key,
// or kNone. For a from-Unicode result of 0 (the single-byte form), the byte
// key - first + parameter is returned with kSingleByteFlag. Every read is checked against
// the body, so a walk that runs off the records, or an index or value entry outside the
// image, finds nothing.
[[gnu::always_inline]] inline uint32_t rangeLookup(const CodesetIndex& ix, bool fromUnicode, uint32_t key) {
    const uint32_t records = fromUnicode ? ix.fromRecords : ix.toRecords;
    const uint32_t index = fromUnicode ? ix.fromIndex : ix.toIndex;
    const uint32_t values = fromUnicode ? ix.fromValues : ix.toValues;
    const size_t units = ix.rangeUnits;
    const size_t slot = static_cast<size_t>(index) + (key >> kBlockShift);
    if (slot >= units) return kNone;
    const size_t recordCount = (units - records) / 4;
    for (size_t r = ix.rangeUnit(slot); r < recordCount; ++r) {
        const uint8_t* rec = ix.rangeBody + 2 * (static_cast<size_t>(records) + 4 * r);
        const uint32_t first = loadU16(rec);
        if (first > key) return kNone;
        if (key > loadU16(rec + 2)) continue;
        const uint32_t type = loadU16(rec + 4);
        const uint32_t parameter = loadU16(rec + 6);
        const uint32_t offset = key - first;
        uint32_t result;
        if (type == 1) {
            size_t v = static_cast<size_t>(values) + parameter + offset;
            if (v >= units) return kNone;
            result = ix.rangeUnit(v);
        } else if (type == 2) {
            result = parameter + offset;
        } else if (type == 0 && fromUnicode) {
            result = 0;
        } else {
            return kNone;
        }
        if (fromUnicode && result == 0) {
            uint32_t byte = offset + parameter;
            return byte < 0x100 ? (kSingleByteFlag | byte) : kNone;
        }
        return result;
    }
    return kNone;
}

void putFourBytes(uint8_t* out, uint32_t m) {
    out[0] = static_cast<uint8_t>(m / 12600 + 0x81);
    out[1] = static_cast<uint8_t>((m / 1260) % 10 + 0x30);
    out[2] = static_cast<uint8_t>((m / 10) % 126 + 0x81);
    out[3] = static_cast<uint8_t>(m % 10 + 0x30);
}

struct Gb18030Codec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = true;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t n) {
        uint32_t b1 = p[0];
        if (b1 < 0x80) return {b1, 1};
        if (b1 == 0x80 || b1 == 0xFF) return {kNoChar, 1};
        if (n < 2) return {0, 0};
        uint32_t b2 = p[1];
        uint32_t key;
        uint32_t length;
        if (b2 >= 0x30 && b2 <= 0x39) {
            if (n < 4) return {0, 0};
            uint32_t b3 = p[2], b4 = p[3];
            // Bytes outside their ranges would alias other codes in the key arithmetic.
            if (b3 < 0x81 || b3 > 0xFE || b4 < 0x30 || b4 > 0x39) return {kNoChar, 1};
            key = (b1 & 0x7F) * 12600 + b2 * 1260 + b3 * 10 + b4 - 50351;
            length = 4;
        } else {
            if (b2 < 0x40 || b2 == 0x7F || b2 == 0xFF) return {kNoChar, 1};
            key = b1 * 191 + b2 - 24702;
            length = 2;
        }
        if (key > 0xFFFE) {
            if (key >= kSupplementaryFirstKey && key <= kSupplementaryLastKey)
                return {key - kSupplementaryKeyBias, length};
            return {kNoChar, length};
        }
        uint32_t cp = rangeLookup(ix, false, key);
        if (cp == kUnmappable16 || cp > 0x10FFFF) return {kNoChar, length};
        return {cp, length};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c <= 0xFFFF) {
            uint32_t linear = rangeLookup(ix, true, c);
            if (linear & kSingleByteFlag) {
                if (linear == kNone) return putSubstitute('?', out, room, substituted);
                if (room == 0) return 0;
                *out = static_cast<uint8_t>(linear);
                return 1;
            }
            if (linear != kUnmappable16 && linear != 0) {
                if (linear >= nlq_table::kGbFourByteBase) {
                    if (room < 4) return 0;
                    putFourBytes(out, linear - nlq_table::kGbFourByteBase);
                    return 4;
                }
                if (room < 2) return 0;
                out[0] = static_cast<uint8_t>((linear - 1) / 191 + 0x81);
                out[1] = static_cast<uint8_t>((linear - 1) % 191 + 0x40);
                return 2;
            }
        } else if (c < 0x110000) {
            if (room < 4) return 0;
            putFourBytes(out, c + kSupplementaryLinearBias);
            return 4;
        }
        return putSubstitute('?', out, room, substituted);
    }
};

}  // namespace

const KindOps kGb18030Ops = makeKindOps<Gb18030Codec>();

}  // namespace nlq_detail
