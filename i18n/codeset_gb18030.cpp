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

struct RangeHit {
    bool found;
    uint16_t first;
    uint16_t parameter;
    uint32_t value;
};

RangeHit rangeLookup(const CodesetIndex& ix, bool fromUnicode, uint32_t key) {
    const uint32_t records = fromUnicode ? ix.fromRecords : ix.toRecords;
    const uint32_t index = fromUnicode ? ix.fromIndex : ix.toIndex;
    const uint32_t values = fromUnicode ? ix.fromValues : ix.toValues;
    const size_t units = ix.rangeUnits;
    size_t slot = static_cast<size_t>(index) + (key >> kBlockShift);
    if (slot >= units) return {false, 0, 0, 0};
    for (size_t r = ix.rangeUnit(slot);; ++r) {
        size_t at = static_cast<size_t>(records) + 4 * r;
        if (at >= units || units - at < 4) return {false, 0, 0, 0};
        uint16_t first = ix.rangeUnit(at);
        if (first > key) return {false, 0, 0, 0};
        uint16_t last = ix.rangeUnit(at + 1);
        if (key > last) continue;
        uint16_t type = ix.rangeUnit(at + 2);
        uint16_t parameter = ix.rangeUnit(at + 3);
        uint32_t offset = key - first;
        switch (type) {
        case 1: {
            size_t v = static_cast<size_t>(values) + parameter + offset;
            if (v >= units) return {false, 0, 0, 0};
            return {true, first, parameter, ix.rangeUnit(v)};
        }
        case 2:
            return {true, first, parameter, parameter + offset};
        case 0:
            if (fromUnicode) return {true, first, parameter, 0};
            return {false, 0, 0, 0};
        default:
            return {false, 0, 0, 0};
        }
    }
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

    static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t n) {
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
        RangeHit hit = rangeLookup(ix, false, key);
        if (!hit.found || hit.value == kUnmappable16 || hit.value > 0x10FFFF) return {kNoChar, length};
        return {hit.value, length};
    }

    static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c <= 0xFFFF) {
            RangeHit hit = rangeLookup(ix, true, c);
            if (hit.found && hit.value != kUnmappable16) {
                uint32_t linear = hit.value;
                if (linear == 0) {
                    uint32_t byte = c - hit.first + hit.parameter;
                    if (byte < 0x100) {
                        if (room == 0) return 0;
                        *out = static_cast<uint8_t>(byte);
                        return 1;
                    }
                } else if (linear >= nlq_table::kGbFourByteBase) {
                    if (room < 4) return 0;
                    putFourBytes(out, linear - nlq_table::kGbFourByteBase);
                    return 4;
                } else {
                    if (room < 2) return 0;
                    out[0] = static_cast<uint8_t>((linear - 1) / 191 + 0x81);
                    out[1] = static_cast<uint8_t>((linear - 1) % 191 + 0x40);
                    return 2;
                }
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
