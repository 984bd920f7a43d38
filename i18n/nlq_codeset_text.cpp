// Operations on whole texts and single characters built on the stepping engines: the
// allocating forms, strftime in a codeset, the substitution count, and the per-character
// conversions.
#include "i18n/nlq_codeset.h"

#include "i18n/nlq_codeset_engine.h"
#include "i18n/nlq_locale.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace nlq_detail;

namespace {

// Source text and a destination buffer of `capacity` bytes: the holder's buffer when it
// has one (its size is the caller's promise), else a new one stored into the holder.
char* holderBuffer(char** holder, size_t capacity) {
    if (holder && *holder) return *holder;
    char* buffer = static_cast<char*>(std::malloc(capacity));
    if (buffer && holder) *holder = buffer;
    return buffer;
}

// One character read from the start of src: the bytes consumed (shift bytes before the
// character included), the bytes of shift sequences before it, and the units produced.
// The input is offered one byte more at a time, so that nothing after the character is
// consumed. consumed is -1 when no whole character could be read.
struct OneChar {
    long consumed = -1;
    size_t shiftBytes = 0;
    size_t units = 0;
};

OneChar readOneChar(NlqCodeset* cs, const char* src, size_t n, NlqUcs2 (&units)[2], size_t unitRoom) {
    OneChar result;
    size_t used = 0;
    size_t offer = 1;
    while (used + offer <= n) {
        const char* p = src + used;
        size_t left = offer;
        NlqUcs2* o = units;
        size_t room = unitRoom;
        int rc = nlq_step_to_ucs2(cs, &p, &left, &o, &room);
        size_t consumed = offer - left;
        used += consumed;
        if (room < unitRoom) {
            result.consumed = static_cast<long>(used);
            result.units = unitRoom - room;
            return result;
        }
        if (rc == NLQ_STEP_OUTPUT_FULL) return result;
        if (rc == NLQ_STEP_INCOMPLETE) {
            ++offer;
        } else {
            result.shiftBytes += consumed;
            offer = 1;
        }
    }
    return result;
}

}  // namespace

char* nlq_from_utf8_dup(NlqCodeset* codeset, const char* text, char** holder) {
    if (!text) text = "";
    size_t capacity = 2 * std::strlen(text) + 1;
    char* buffer = holderBuffer(holder, capacity);
    if (buffer) nlq_from_utf8(codeset, text, -1, buffer, capacity);
    return buffer;
}

char* nlq_to_utf8_dup(NlqCodeset* codeset, const char* text, char** holder) {
    if (!text) text = "";
    size_t capacity = 3 * std::strlen(text) + 1;
    char* buffer = holderBuffer(holder, capacity);
    if (buffer) nlq_to_utf8(codeset, text, -1, buffer, capacity);
    return buffer;
}

char* nlq_recode_dup(NlqCodeset* from, NlqCodeset* to, const char* text, char** holder) {
    if (!text) text = "";
    size_t length = std::strlen(text);
    std::vector<NlqUcs2> wide(length + 1);
    nlq_to_ucs2(from, text, -1, wide.data(), wide.size());
    size_t capacity = 4 * length + 1;
    char* buffer = holderBuffer(holder, capacity);
    if (buffer) nlq_from_ucs2(to, wide.data(), -1, buffer, capacity);
    return buffer;
}

char* nlq_from_utf8_alloc(NlqCodeset* codeset, const char* src, size_t length, size_t* count) {
    if (count) *count = 0;
    if (!src) length = 0;
    char* buffer = static_cast<char*>(std::malloc(2 * length + 1));
    if (!buffer) return nullptr;
    size_t n = nlq_from_utf8(codeset, src, static_cast<ptrdiff_t>(length), buffer, 2 * length + 1);
    if (count) *count = n;
    return buffer;
}

char* nlq_to_utf8_alloc(NlqCodeset* codeset, const char* src, size_t length, size_t* count) {
    if (count) *count = 0;
    if (!src) length = 0;
    char* buffer = static_cast<char*>(std::malloc(3 * length + 1));
    if (!buffer) return nullptr;
    size_t n = nlq_to_utf8(codeset, src, static_cast<ptrdiff_t>(length), buffer, 3 * length + 1);
    if (count) *count = n;
    return buffer;
}

size_t nlq_strftime(NlqCodeset* codeset, char* dst, size_t capacity, const char* format, const struct tm* time) {
    if (!format || !time || !dst) return 0;
    NlqCodeset* cs = resolveCodeset(codeset);
    NlqCodeset* os = nlq_get_os_codeset();
    if (cs == os) return std::strftime(dst, capacity, format, time);
    if (capacity == 0) return 0;
    // The runtime library formats in the OS codeset: take the format there and the
    // result back, through UCS-2.
    const size_t work = 4 * capacity;
    std::vector<NlqUcs2> wide(std::strlen(format) + 1);
    nlq_to_ucs2(cs, format, -1, wide.data(), wide.size());
    std::string osFormat(work, '\0');
    nlq_from_ucs2(os, wide.data(), -1, osFormat.data(), work);
    std::string formatted(work, '\0');
    size_t produced = std::strftime(formatted.data(), work, osFormat.c_str(), time);
    if (produced == 0) return 0;
    std::vector<NlqUcs2> result(produced + 1);
    nlq_to_ucs2(os, formatted.data(), -1, result.data(), result.size());
    size_t written = nlq_from_ucs2(cs, result.data(), -1, dst, capacity);
    return written - 1;
}

unsigned nlq_substitution_count(NlqCodeset* codeset) {
    NlqCodeset* cs = resolveCodeset(codeset);
    unsigned count = cs->substitutionCount;
    cs->substitutionCount = 0;
    return count;
}

int nlq_wctomb(NlqCodeset* codeset, char* dst, NlqUcs2 wc) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!dst) {
        cs->outputShift = 0;
        return cs->kind == NLQ_KIND_EBCDIC_STATEFUL ? 1 : 0;
    }
    const NlqUcs2* in = &wc;
    size_t inLeft = 1;
    char* out = dst;
    size_t outLeft = 4;
    int rc = nlq_step_from_ucs2(cs, &in, &inLeft, &out, &outLeft);
    if (rc != NLQ_STEP_DONE || inLeft != 0) return -1;
    return static_cast<int>(4 - outLeft);
}

int nlq_mbtowc16(NlqCodeset* codeset, NlqUcs2* dst, const char* src, size_t n) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!src) {
        cs->inputShift = 0;
        return cs->kind == NLQ_KIND_EBCDIC_STATEFUL ? 1 : 0;
    }
    NlqUcs2 units[2];
    OneChar one = readOneChar(cs, src, n, units, 1);
    if (one.consumed < 0) return -1;
    if (dst) *dst = units[0];
    return units[0] == 0 ? 0 : static_cast<int>(one.consumed);
}

int nlq_mbtowc(NlqCodeset* codeset, uint32_t* dst, const char* src, size_t n) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!src) {
        cs->inputShift = 0;
        return cs->kind == NLQ_KIND_EBCDIC_STATEFUL ? 1 : 0;
    }
    NlqUcs2 units[2];
    OneChar one = readOneChar(cs, src, n, units, 2);
    if (one.consumed < 0) return -1;
    uint32_t cp = units[0];
    if (one.units == 2) cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00u);
    if (dst) *dst = cp;
    return cp == 0 ? 0 : static_cast<int>(one.consumed);
}

int nlq_mblen(NlqCodeset* codeset, const char* src, size_t n) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (src && (cs->kind == NLQ_KIND_SBCS || cs->kind == NLQ_KIND_EBCDIC_SBCS)) return 1;
    return nlq_mbtowc(cs, nullptr, src, n);
}

size_t nlq_wcstombs(NlqCodeset* codeset, char* dst, const NlqUcs2* src, size_t n) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!src) return 0;
    size_t length = 0;
    while (src[length]) ++length;
    cs->outputShift = 0;
    const NlqUcs2* in = src;
    size_t inLeft = length;
    size_t total = 0;
    if (dst) {
        char* out = dst;
        size_t outLeft = n;
        nlq_step_from_ucs2(cs, &in, &inLeft, &out, &outLeft);
        nlq_step_from_ucs2(cs, nullptr, nullptr, &out, &outLeft);
        total = n - outLeft;
        if (outLeft > 0) *out = '\0';
    } else {
        char scratch[256];
        for (;;) {
            char* out = scratch;
            size_t outLeft = sizeof scratch;
            int rc = nlq_step_from_ucs2(cs, &in, &inLeft, &out, &outLeft);
            total += sizeof scratch - outLeft;
            if (rc != NLQ_STEP_OUTPUT_FULL) break;
        }
        char* out = scratch;
        size_t outLeft = sizeof scratch;
        nlq_step_from_ucs2(cs, nullptr, nullptr, &out, &outLeft);
        total += sizeof scratch - outLeft;
    }
    cs->outputShift = 0;
    return total;
}

size_t nlq_mbstowcs(NlqCodeset* codeset, NlqUcs2* dst, const char* src, size_t n) {
    NlqCodeset* cs = resolveCodeset(codeset);
    if (!src) return 0;
    cs->inputShift = 0;
    const char* in = src;
    size_t inLeft = std::strlen(src);
    size_t total = 0;
    if (dst) {
        NlqUcs2* out = dst;
        size_t outLeft = n;
        nlq_step_to_ucs2(cs, &in, &inLeft, &out, &outLeft);
        total = n - outLeft;
        if (outLeft > 0) *out = 0;
    } else {
        NlqUcs2 scratch[256];
        for (;;) {
            NlqUcs2* out = scratch;
            size_t outLeft = 256;
            int rc = nlq_step_to_ucs2(cs, &in, &inLeft, &out, &outLeft);
            total += 256 - outLeft;
            if (rc != NLQ_STEP_OUTPUT_FULL) break;
        }
    }
    cs->inputShift = 0;
    return total;
}

bool nlq_char_boundary(NlqCodeset* codeset, const char* text, size_t length, size_t offset) {
    if (!text || offset > length) return false;
    NlqCodeset walker = *resolveCodeset(codeset);  // private shift state and count
    walker.inputShift = 0;
    size_t pos = 0;
    while (pos < length) {
        NlqUcs2 units[2];
        OneChar one = readOneChar(&walker, text + pos, length - pos, units, 2);
        if (one.consumed < 0) return offset == length;
        size_t start = pos + one.shiftBytes;
        if (start == offset) return true;
        if (start > offset) return false;
        pos += static_cast<size_t>(one.consumed);
    }
    return offset == length;
}
