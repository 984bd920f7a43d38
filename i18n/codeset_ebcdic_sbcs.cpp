// Single-byte EBCDIC codesets. The invariant bytes and code points go through the
// program's built-in EBCDIC table, everything else through the loaded table; both are
// merged into 256-entry tables when the record is built, so the loops do one lookup.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

constexpr uint8_t kEbcdicQuestionMark = 0x6F;

struct EbcdicSbcsCodec {
    static constexpr bool kAsciiCompatible = false;
    static constexpr bool kWide = false;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t) {
        uint16_t v = ix.byteToCode[*p];
        return {v == kUnmappable16 ? kNoChar : v, 1};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (room == 0) return 0;
        if (c < 0x100) {
            uint16_t v = ix.lowCodeToByte[c];
            if (v != kUnmappable16) {
                *out = static_cast<uint8_t>(v);
                return 1;
            }
        } else if (c < 0xFFFF) {
            if (const uint8_t* row = ix.fromRow[c >> 8]) {
                uint8_t b = row[c & 0xFF];
                if (b != ix.substByte || c == ix.substCodePoint) {
                    *out = b;
                    return 1;
                }
            }
        }
        return putSubstitute(kEbcdicQuestionMark, out, room, substituted);
    }
};

}  // namespace

const KindOps kEbcdicSbcsOps = makeKindOps<EbcdicSbcsCodec>();

}  // namespace nlq_detail
