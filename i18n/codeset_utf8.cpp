// UTF-8: decoded and re-encoded character by character, so that even UTF-8 to UTF-8
// replaces bytes that cannot start a character by '?'.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

struct Utf8Codec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = true;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex&, uint8_t&, const uint8_t* p, size_t n) {
        return decodeUtf8Wide(p, n);
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex&, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c == kNoChar) return putSubstitute('?', out, room, substituted);
        size_t len = utf8Length(c);
        if (room < len) return 0;
        putUtf8(out, c, len);
        return len;
    }
};

}  // namespace

const KindOps kUtf8Ops = makeKindOps<Utf8Codec>();

}  // namespace nlq_detail
