// The four stepping engines (dispatch to the codeset's kind, and the flush) and the
// buffer wrappers on top of them.
#include "i18n/nlq_codeset.h"

#include "i18n/nlq_codeset_engine.h"

#include <cstring>
#include <type_traits>

using namespace nlq_detail;

namespace {

constexpr uint8_t kShiftIn = 0x0F;

int flushOutput(NlqCodeset* cs, char** out, size_t* outLeft) {
    if (cs->kind == NLQ_KIND_EBCDIC_STATEFUL && cs->outputShift) {
        if (!out || !*out || !outLeft || *outLeft == 0) return NLQ_STEP_OUTPUT_FULL;
        **out = static_cast<char>(kShiftIn);
        ++*out;
        --*outLeft;
    }
    cs->outputShift = 0;
    return NLQ_STEP_DONE;
}

template <class T>
const uint8_t** asBytes(const T** p) { return reinterpret_cast<const uint8_t**>(p); }
inline uint8_t** asBytes(char** p) { return reinterpret_cast<uint8_t**>(p); }

size_t measure(const char* s) { return std::strlen(s); }
size_t measure(const NlqUcs2* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

// Steps 1 to 8 of every buffer wrapper; `step` runs the engine, `fromSide` tells the
// from-directions (output shift state, flush) from the to-directions (input shift state).
template <class Src, class Dst, class Step>
size_t convertBuffer(NlqCodeset* codeset, const Src* src, ptrdiff_t srcLen, Dst* dst, size_t capacity,
                     bool fromSide, Step step) {
    if (capacity == 0 || !dst) return 0;
    NlqCodeset* cs = resolveCodeset(codeset);
    if (fromSide) cs->outputShift = 0;
    else cs->inputShift = 0;
    bool terminate = srcLen < 0;
    size_t inLeft = !src ? 0 : terminate ? measure(src) : static_cast<size_t>(srcLen);
    size_t outLeft = terminate ? capacity - 1 : capacity;
    const Src* in = src ? src : reinterpret_cast<const Src*>("");
    Dst* out = dst;
    step(cs, &in, &inLeft, &out, &outLeft);
    if constexpr (std::is_same_v<Dst, char>) {
        if (fromSide) {
            flushOutput(cs, &out, &outLeft);
            cs->outputShift = 0;
        }
    }
    if (terminate) *out = 0;  // in the element kept back
    if (!fromSide) cs->inputShift = 0;
    return capacity - outLeft;
}

}  // namespace

int nlq_step_to_ucs2(NlqCodeset* codeset, const char** in, size_t* inLeft, NlqUcs2** out, size_t* outLeft) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!in || !*in) {
        cs->inputShift = 0;
        return NLQ_STEP_DONE;
    }
    return kindOps(cs->kind).toUcs2(cs, asBytes(in), inLeft, out, outLeft);
}

int nlq_step_from_ucs2(NlqCodeset* codeset, const NlqUcs2** in, size_t* inLeft, char** out, size_t* outLeft) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!in || !*in) return flushOutput(cs, out, outLeft);
    return kindOps(cs->kind).fromUcs2(cs, in, inLeft, asBytes(out), outLeft);
}

int nlq_step_to_utf8(NlqCodeset* codeset, const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!in || !*in) {
        cs->inputShift = 0;
        return NLQ_STEP_DONE;
    }
    return kindOps(cs->kind).toUtf8(cs, asBytes(in), inLeft, asBytes(out), outLeft);
}

int nlq_step_from_utf8(NlqCodeset* codeset, const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!in || !*in) return flushOutput(cs, out, outLeft);
    return kindOps(cs->kind).fromUtf8(cs, asBytes(in), inLeft, asBytes(out), outLeft);
}

size_t nlq_to_utf8(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen, char* dst, size_t capacity) {
    return convertBuffer(codeset, src, srcLen, dst, capacity, false,
                         [](NlqCodeset* cs, const char** in, size_t* inLeft, char** out, size_t* outLeft) {
                             nlq_step_to_utf8(cs, in, inLeft, out, outLeft);
                         });
}

size_t nlq_from_utf8(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen, char* dst, size_t capacity) {
    return convertBuffer(codeset, src, srcLen, dst, capacity, true,
                         [](NlqCodeset* cs, const char** in, size_t* inLeft, char** out, size_t* outLeft) {
                             nlq_step_from_utf8(cs, in, inLeft, out, outLeft);
                         });
}

size_t nlq_to_ucs2(NlqCodeset* codeset, const char* src, ptrdiff_t srcLen, NlqUcs2* dst, size_t capacity) {
    return convertBuffer(codeset, src, srcLen, dst, capacity, false,
                         [](NlqCodeset* cs, const char** in, size_t* inLeft, NlqUcs2** out, size_t* outLeft) {
                             nlq_step_to_ucs2(cs, in, inLeft, out, outLeft);
                         });
}

size_t nlq_from_ucs2(NlqCodeset* codeset, const NlqUcs2* src, ptrdiff_t srcLenUnits, char* dst, size_t capacity) {
    return convertBuffer(codeset, src, srcLenUnits, dst, capacity, true,
                         [](NlqCodeset* cs, const NlqUcs2** in, size_t* inLeft, char** out, size_t* outLeft) {
                             nlq_step_from_ucs2(cs, in, inLeft, out, outLeft);
                         });
}
