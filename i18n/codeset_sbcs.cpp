// Single-byte, ASCII-compatible codesets: one table entry per byte to Unicode, one byte
// row per high byte of a code point from Unicode.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

struct SbcsCodec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = false;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t) {
        uint16_t v = ix.byteToCode[*p];
        return {v == kUnmappable16 ? kNoChar : v, 1};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (room == 0) return 0;
        if (c < 0xFFFF) {
            if (const uint8_t* row = ix.fromRow[c >> 8]) {
                uint8_t b = row[c & 0xFF];
                // The substitution byte in a row stands for "no mapping", except for the
                // one code point that genuinely maps to it.
                if (b != ix.substByte || c == ix.substCodePoint) {
                    *out = b;
                    return 1;
                }
            }
        }
        return putSubstitute('?', out, room, substituted);
    }
};

}  // namespace

const KindOps kSbcsOps = makeKindOps<SbcsCodec>();

}  // namespace nlq_detail
