// Stateful EBCDIC codesets: single bytes, and double-byte stretches opened by shift-out
// 0x0E and closed by shift-in 0x0F. The invariant single bytes and code points go through
// the program's built-in EBCDIC table. The shift states live in the codeset record.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;
constexpr uint16_t kEbcdicQuestionMark = 0x6F;

struct EbcdicStatefulCodec {
    static constexpr bool kAsciiCompatible = false;
    static constexpr bool kWide = false;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t& shift, const uint8_t* p, size_t n) {
        uint8_t b = p[0];
        if (!shift) {
            if (b == kShiftOut) {
                shift = 1;
                return {kShiftOnly, 1};
            }
            // byteToCode already holds the built-in table for the invariant bytes.
            uint16_t v = ix.byteToCode[b];
            return {v == kUnmappable16 ? kNoChar : v, 1};
        }
        if (b == kShiftIn) {
            shift = 0;
            return {kShiftOnly, 1};
        }
        if (b >= 0x40 && b <= 0xFE) {
            if (n < 2) return {0, 0};
            const uint8_t* row = ix.toRow[b];
            uint16_t v = row ? loadU16(row + 2 * p[1]) : kUnmappable16;
            return {v == kUnmappable16 ? kNoChar : v, 2};
        }
        return {kEbcdicToUnicode[b], 1};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t& shift, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c < 0x100 && kEbcdicInvariantCodePoint[c]) {
            uint8_t b = kUnicodeToEbcdic[c];
            if (shift && b != kShiftOut) {
                if (room < 2) return 0;
                out[0] = kShiftIn;
                out[1] = b;
                shift = 0;
                return 2;
            }
            if (room == 0) return 0;
            out[0] = b;
            if (b == kShiftOut) shift = 1;
            return 1;
        }
        uint16_t v = kUnmappable16;
        if (c <= 0xFFFF) {
            if (const uint8_t* row = ix.fromRow[c >> 8]) v = loadU16(row + 2 * (c & 0xFF));
        }
        bool unmappable = v == kUnmappable16;
        if (unmappable) v = kEbcdicQuestionMark;
        size_t written;
        if (shift) {
            if (v >= 0x100) {
                if (room < 2) return 0;
                out[0] = static_cast<uint8_t>(v >> 8);
                out[1] = static_cast<uint8_t>(v);
                written = 2;
            } else {
                if (room < 2) return 0;
                out[0] = kShiftIn;
                out[1] = static_cast<uint8_t>(v);
                shift = 0;
                written = 2;
            }
        } else if (v < 0x100) {
            if (room == 0) return 0;
            out[0] = static_cast<uint8_t>(v);
            written = 1;
        } else {
            if (room < 3) return 0;
            out[0] = kShiftOut;
            out[1] = static_cast<uint8_t>(v >> 8);
            out[2] = static_cast<uint8_t>(v);
            shift = 1;
            written = 3;
        }
        if (unmappable) substituted = true;
        return written;
    }
};

}  // namespace

const KindOps kEbcdicStatefulOps = makeKindOps<EbcdicStatefulCodec>();

}  // namespace nlq_detail
