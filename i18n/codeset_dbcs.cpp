// ASCII-compatible double-byte codesets: a class per byte (single byte or lead byte),
// 16-bit rows per lead byte to Unicode, 16-bit rows per high byte from Unicode whose
// values from 256 up are two-byte codes.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

constexpr uint8_t kClassSingle = 1;
constexpr uint8_t kClassLead = 2;

struct DbcsCodec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = false;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t n) {
        uint8_t b = p[0];
        uint8_t cls = ix.image[nlq_table::kClassOffset + b];
        if (cls == kClassSingle) {
            const uint8_t* row = ix.toRow[0];
            uint16_t v = row ? loadU16(row + 2 * b) : kUnmappable16;
            return {v == kUnmappable16 ? kNoChar : v, 1};
        }
        if (cls == kClassLead) {
            if (n < 2) return {0, 0};
            const uint8_t* row = ix.toRow[b];
            uint16_t v = row ? loadU16(row + 2 * p[1]) : kUnmappable16;
            return {v == kUnmappable16 ? kNoChar : v, 2};
        }
        return {kNoChar, 1};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c <= 0xFFFF) {
            if (const uint8_t* row = ix.fromRow[c >> 8]) {
                uint16_t v = loadU16(row + 2 * (c & 0xFF));
                if (v != kUnmappable16) {
                    if (v >= 0x100) {
                        if (room < 2) return 0;
                        out[0] = static_cast<uint8_t>(v >> 8);
                        out[1] = static_cast<uint8_t>(v);
                        return 2;
                    }
                    if (room == 0) return 0;
                    *out = static_cast<uint8_t>(v);
                    return 1;
                }
            }
        }
        return putSubstitute('?', out, room, substituted);
    }
};

}  // namespace

const KindOps kDbcsOps = makeKindOps<DbcsCodec>();

}  // namespace nlq_detail
