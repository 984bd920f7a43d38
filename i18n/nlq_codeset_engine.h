// The one loop per direction that every converter kind shares. A kind supplies a codec:
//
//   struct Codec {
//       static constexpr bool kAsciiCompatible;  // bytes below 0x80 are the same code points
//       static constexpr bool kWide;             // four-byte UTF-8 and surrogate pairs on input
//       static Decoded decode(const CodesetIndex&, uint8_t& inputShift, const uint8_t* p, size_t n);
//       static size_t encode(const CodesetIndex&, uint8_t& outputShift, uint32_t c,
//                            uint8_t* out, size_t room, bool& substituted);
//   };
//
// decode reads one character from n >= 1 bytes: its length (0 when the input ends inside
// it) and its code point, kNoChar when it cannot be mapped, or kShiftOnly for a shift byte
// that produces nothing. encode writes one code point (kNoChar: the substitution
// character), returning the bytes written or 0 when they do not fit; it touches the
// shift state only when it writes. The loops keep the shift states in locals and store
// them back, count substitutions only for characters that were consumed, and leave a
// character that does not fit unread.
#pragma once

#include "i18n/nlq_codeset_internal.h"

#include <cstddef>
#include <cstdint>

namespace nlq_detail {

struct Decoded {
    uint32_t cp;
    uint32_t length;  // 0: incomplete
};

// Signatures of one kind's four directions (in/out already resolved, non-null input).
struct KindOps {
    int (*toUcs2)(NlqCodeset*, const uint8_t**, size_t*, NlqUcs2**, size_t*);
    int (*fromUcs2)(NlqCodeset*, const NlqUcs2**, size_t*, uint8_t**, size_t*);
    int (*toUtf8)(NlqCodeset*, const uint8_t**, size_t*, uint8_t**, size_t*);
    int (*fromUtf8)(NlqCodeset*, const uint8_t**, size_t*, uint8_t**, size_t*);
};

// UTF-8 decoding of one character as the UTF-8 codeset reads it: one to four bytes, the
// continuation bytes' payload bits taken as they stand. Values beyond U+10FFFF, and lead
// bytes 0x80 to 0xBF and 0xF8 to 0xFF, are unmappable.
inline Decoded decodeUtf8Wide(const uint8_t* p, size_t n) {
    uint32_t b = p[0];
    if (b < 0x80) return {b, 1};
    if (b < 0xC0) return {kNoChar, 1};
    if (b < 0xE0) {
        if (n < 2) return {0, 0};
        return {((b & 0x1F) << 6) | (p[1] & 0x3Fu), 2};
    }
    if (b < 0xF0) {
        if (n < 3) return {0, 0};
        return {((b & 0x0F) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu), 3};
    }
    if (b < 0xF8) {
        if (n < 4) return {0, 0};
        uint32_t cp = ((b & 0x07) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
        return {cp > 0x10FFFF ? kNoChar : cp, 4};
    }
    return {kNoChar, 1};
}

// UTF-8 decoding for codesets that hold only the Basic Multilingual Plane: sequences of
// up to three bytes decode; a four-byte sequence is read whole and is unmappable (it
// cannot be represented, and reading it as three bytes would turn it into an unrelated
// character).
inline Decoded decodeUtf8Bmp(const uint8_t* p, size_t n) {
    uint32_t b = p[0];
    if (b < 0x80) return {b, 1};
    if (b < 0xC0) return {kNoChar, 1};
    if (b < 0xE0) {
        if (n < 2) return {0, 0};
        return {((b & 0x1F) << 6) | (p[1] & 0x3Fu), 2};
    }
    if (b < 0xF0) {
        if (n < 3) return {0, 0};
        return {((b & 0x0F) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu), 3};
    }
    if (b < 0xF8) {
        if (n < 4) return {0, 0};
        return {kNoChar, 4};
    }
    return {kNoChar, 1};
}

inline size_t utf8Length(uint32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

inline void putUtf8(uint8_t* o, uint32_t cp, size_t len) {
    switch (len) {
    case 1: o[0] = static_cast<uint8_t>(cp); break;
    case 2:
        o[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
        o[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        break;
    case 3:
        o[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
        o[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        o[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        break;
    default:
        o[0] = static_cast<uint8_t>(0xF0 | (cp >> 18));
        o[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
        o[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        o[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        break;
    }
}

// Copies the longest run of bytes below 0x80 that fits, eight at a time where possible.
inline void copyAsciiRun(const uint8_t*& p, const uint8_t* end, uint8_t*& o, const uint8_t* oend) {
    size_t n = static_cast<size_t>(end - p);
    size_t room = static_cast<size_t>(oend - o);
    if (room < n) n = room;
    const uint8_t* stop = p + n;
    while (stop - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ull) break;
        std::memcpy(o, &w, 8);
        p += 8;
        o += 8;
    }
    while (p < stop && *p < 0x80) *o++ = *p++;
}

template <class Codec>
int stepToUcs2(NlqCodeset* cs, const uint8_t** in, size_t* inLeft, NlqUcs2** out, size_t* outLeft) {
    const CodesetIndex& ix = *cs->index;
    const uint8_t* p = *in;
    const uint8_t* const end = p + *inLeft;
    NlqUcs2* o = *out;
    NlqUcs2* const oend = o + *outLeft;
    uint8_t shift = cs->inputShift;
    int rc = NLQ_STEP_DONE;
    while (p < end) {
        if constexpr (Codec::kAsciiCompatible) {
            if (*p < 0x80) {
                if (o == oend) { rc = NLQ_STEP_OUTPUT_FULL; break; }
                *o++ = *p++;
                continue;
            }
        }
        Decoded d = Codec::decode(ix, shift, p, static_cast<size_t>(end - p));
        if (d.length == 0) { rc = NLQ_STEP_INCOMPLETE; break; }
        uint32_t cp = d.cp;
        if (cp == kShiftOnly) { p += d.length; continue; }
        bool substituted = cp == kNoChar;
        if (substituted) cp = '?';
        if (cp > 0xFFFF) {
            if (oend - o < 2) { rc = NLQ_STEP_OUTPUT_FULL; break; }
            cp -= 0x10000;
            *o++ = static_cast<NlqUcs2>(0xD800 | (cp >> 10));
            *o++ = static_cast<NlqUcs2>(0xDC00 | (cp & 0x3FF));
        } else {
            if (o == oend) { rc = NLQ_STEP_OUTPUT_FULL; break; }
            *o++ = static_cast<NlqUcs2>(cp);
        }
        if (substituted) countSubstitution(cs);
        p += d.length;
    }
    cs->inputShift = shift;
    *inLeft -= static_cast<size_t>(p - *in);
    *outLeft -= static_cast<size_t>(o - *out);
    *in = p;
    *out = o;
    return rc;
}

template <class Codec>
int stepToUtf8(NlqCodeset* cs, const uint8_t** in, size_t* inLeft, uint8_t** out, size_t* outLeft) {
    const CodesetIndex& ix = *cs->index;
    const uint8_t* p = *in;
    const uint8_t* const end = p + *inLeft;
    uint8_t* o = *out;
    uint8_t* const oend = o + *outLeft;
    uint8_t shift = cs->inputShift;
    int rc = NLQ_STEP_DONE;
    while (p < end) {
        if constexpr (Codec::kAsciiCompatible) {
            if (*p < 0x80) {
                if (o == oend) { rc = NLQ_STEP_OUTPUT_FULL; break; }
                copyAsciiRun(p, end, o, oend);
                continue;
            }
        }
        Decoded d = Codec::decode(ix, shift, p, static_cast<size_t>(end - p));
        if (d.length == 0) { rc = NLQ_STEP_INCOMPLETE; break; }
        uint32_t cp = d.cp;
        if (cp == kShiftOnly) { p += d.length; continue; }
        bool substituted = cp == kNoChar;
        if (substituted) cp = '?';
        size_t len = utf8Length(cp);
        if (static_cast<size_t>(oend - o) < len) { rc = NLQ_STEP_OUTPUT_FULL; break; }
        putUtf8(o, cp, len);
        o += len;
        if (substituted) countSubstitution(cs);
        p += d.length;
    }
    cs->inputShift = shift;
    *inLeft -= static_cast<size_t>(p - *in);
    *outLeft -= static_cast<size_t>(o - *out);
    *in = p;
    *out = o;
    return rc;
}

template <class Codec>
int stepFromUcs2(NlqCodeset* cs, const NlqUcs2** in, size_t* inLeft, uint8_t** out, size_t* outLeft) {
    const CodesetIndex& ix = *cs->index;
    const NlqUcs2* p = *in;
    const NlqUcs2* const end = p + *inLeft;
    uint8_t* o = *out;
    uint8_t* const oend = o + *outLeft;
    uint8_t shift = cs->outputShift;
    int rc = NLQ_STEP_DONE;
    while (p < end) {
        uint32_t c = *p;
        size_t used = 1;
        if constexpr (Codec::kAsciiCompatible) {
            if (c < 0x80) {
                if (o == oend) { rc = NLQ_STEP_OUTPUT_FULL; break; }
                *o++ = static_cast<uint8_t>(c);
                ++p;
                continue;
            }
        }
        if constexpr (Codec::kWide) {
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (end - p < 2) { rc = NLQ_STEP_INCOMPLETE; break; }
                uint32_t low = p[1];
                used = 2;
                c = (low >= 0xDC00 && low <= 0xDFFF) ? 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00) : kNoChar;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                c = kNoChar;
            }
        }
        bool substituted = false;
        size_t w = Codec::encode(ix, shift, c, o, static_cast<size_t>(oend - o), substituted);
        if (w == 0) { rc = NLQ_STEP_OUTPUT_FULL; break; }
        o += w;
        if (substituted) countSubstitution(cs);
        p += used;
    }
    cs->outputShift = shift;
    *inLeft -= static_cast<size_t>(p - *in);
    *outLeft -= static_cast<size_t>(o - *out);
    *in = p;
    *out = o;
    return rc;
}

template <class Codec>
int stepFromUtf8(NlqCodeset* cs, const uint8_t** in, size_t* inLeft, uint8_t** out, size_t* outLeft) {
    const CodesetIndex& ix = *cs->index;
    const uint8_t* p = *in;
    const uint8_t* const end = p + *inLeft;
    uint8_t* o = *out;
    uint8_t* const oend = o + *outLeft;
    uint8_t shift = cs->outputShift;
    int rc = NLQ_STEP_DONE;
    while (p < end) {
        if constexpr (Codec::kAsciiCompatible) {
            if (*p < 0x80) {
                if (o == oend) { rc = NLQ_STEP_OUTPUT_FULL; break; }
                copyAsciiRun(p, end, o, oend);
                continue;
            }
        }
        size_t n = static_cast<size_t>(end - p);
        Decoded d = Codec::kWide ? decodeUtf8Wide(p, n) : decodeUtf8Bmp(p, n);
        if (d.length == 0) { rc = NLQ_STEP_INCOMPLETE; break; }
        bool substituted = false;
        size_t w = Codec::encode(ix, shift, d.cp, o, static_cast<size_t>(oend - o), substituted);
        if (w == 0) { rc = NLQ_STEP_OUTPUT_FULL; break; }
        o += w;
        if (substituted) countSubstitution(cs);
        p += d.length;
    }
    cs->outputShift = shift;
    *inLeft -= static_cast<size_t>(p - *in);
    *outLeft -= static_cast<size_t>(o - *out);
    *in = p;
    *out = o;
    return rc;
}

template <class Codec>
constexpr KindOps makeKindOps() {
    return KindOps{&stepToUcs2<Codec>, &stepFromUcs2<Codec>, &stepToUtf8<Codec>, &stepFromUtf8<Codec>};
}

// One writer for the substitution character of a codec.
inline size_t putSubstitute(uint8_t byte, uint8_t* out, size_t room, bool& substituted) {
    if (room == 0) return 0;
    *out = byte;
    substituted = true;
    return 1;
}

// The kinds (codeset_*.cpp).
extern const KindOps kSbcsOps;
extern const KindOps kDbcsOps;
extern const KindOps kMbcsOps;
extern const KindOps kEbcdicStatefulOps;
extern const KindOps kEbcdicSbcsOps;
extern const KindOps kUtf8Ops;
extern const KindOps kGb18030Ops;
extern const KindOps kPassthroughOps;

const KindOps& kindOps(uint16_t kind);

}  // namespace nlq_detail
