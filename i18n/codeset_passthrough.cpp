// Pass-through: every byte is the code point of the same value; from Unicode, code points
// below 256 are copied and others become '?'. The UTF-8 directions copy bytes as they are.
#include "i18n/nlq_codeset_engine.h"

#include <algorithm>

namespace nlq_detail {
namespace {

struct PassthroughCodec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = false;

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex&, uint8_t&, const uint8_t* p, size_t) { return {p[0], 1}; }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex&, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c < 0x100) {
            if (room == 0) return 0;
            *out = static_cast<uint8_t>(c);
            return 1;
        }
        return putSubstitute('?', out, room, substituted);
    }
};

int copyBytes(NlqCodeset*, const uint8_t** in, size_t* inLeft, uint8_t** out, size_t* outLeft) {
    size_t n = std::min(*inLeft, *outLeft);
    if (n) std::memcpy(*out, *in, n);
    *in += n;
    *out += n;
    *inLeft -= n;
    *outLeft -= n;
    return *inLeft ? NLQ_STEP_OUTPUT_FULL : NLQ_STEP_DONE;
}

}  // namespace

const KindOps kPassthroughOps = {&stepToUcs2<PassthroughCodec>, &stepFromUcs2<PassthroughCodec>,
                                 &copyBytes, &copyBytes};

}  // namespace nlq_detail
