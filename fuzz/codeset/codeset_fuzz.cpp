// Fuzz target: builds a codeset record from an untrusted table image and runs text
// through every direction with small output buffers.
//
// Input: one selector byte (low bits pick the converter kind written into the image),
// a 16-bit little-endian text length, the text, then the image. An image part shorter
// than the minimum table size is laid over a blank table header, so that mutations of
// the header fields are reached.
#include "i18n/nlq_codeset.h"
#include "i18n/nlq_codeset_table.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const uint16_t kKinds[] = {1, 2, 3, 4, 6, 8, 9, 10};

template <class Out, class Step>
void drain(Step step, const char* data, size_t size, size_t capacity) {
    const char* in = data;
    size_t inLeft = size;
    Out out[64];
    for (int rounds = 0; rounds < 100000; ++rounds) {
        Out* o = out;
        size_t outLeft = capacity;
        const char* before = in;
        int rc = step(&in, &inLeft, &o, &outLeft);
        if (rc != NLQ_STEP_OUTPUT_FULL) break;
        if (in == before && outLeft == capacity) break;  // a character larger than the buffer
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    uint8_t selector = data[0];
    size_t textLen = data[1] | (data[2] << 8);
    data += 3;
    size -= 3;
    if (textLen > size) textLen = size;
    const char* text = reinterpret_cast<const char*>(data);
    const uint8_t* imagePart = data + textLen;
    size_t imageSize = size - textLen;

    size_t total = imageSize < nlq_table::kMinImageSize ? nlq_table::kMinImageSize : imageSize;
    auto* image = static_cast<unsigned char*>(std::malloc(total));
    std::memset(image, 0, total);
    if (imageSize < nlq_table::kMinImageSize) {
        std::memcpy(image + nlq_table::kMagicOffset, "ucv", 3);
        image[nlq_table::kRowAreaOffset] = 0xE0;  // row area at 1760
        image[nlq_table::kRowAreaOffset + 1] = 0x06;
    }
    if (imageSize) std::memcpy(image, imagePart, imageSize);
    if (selector & 0x80) {
        uint16_t kind = kKinds[selector & 7];
        image[nlq_table::kKindOffset] = static_cast<unsigned char>(kind);
        image[nlq_table::kKindOffset + 1] = 0;
    }
    NlqCodeset* cs = nlq_codeset_from_table(image, total);
    if (!cs) return 0;

    const size_t capacity = 1 + (selector >> 3 & 7);
    drain<char>(
        [cs](const char** i, size_t* il, char** o, size_t* ol) { return nlq_step_to_utf8(cs, i, il, o, ol); },
        text, textLen, capacity);
    drain<char>(
        [cs](const char** i, size_t* il, char** o, size_t* ol) { return nlq_step_from_utf8(cs, i, il, o, ol); },
        text, textLen, capacity);
    drain<NlqUcs2>(
        [cs](const char** i, size_t* il, NlqUcs2** o, size_t* ol) { return nlq_step_to_ucs2(cs, i, il, o, ol); },
        text, textLen, capacity);
    std::vector<NlqUcs2> units(textLen / 2);
    if (!units.empty()) std::memcpy(units.data(), text, units.size() * 2);
    std::vector<char> out(4 * textLen + 8);
    nlq_from_ucs2(cs, units.data(), static_cast<ptrdiff_t>(units.size()), out.data(), out.size());
    nlq_to_utf8(cs, text, static_cast<ptrdiff_t>(textLen), out.data(), out.size());
    nlq_from_utf8(cs, text, static_cast<ptrdiff_t>(textLen), out.data(), capacity);
    for (NlqUcs2 u : units) {
        char mb[4];
        nlq_wctomb(cs, mb, u);
    }
    uint32_t cp;
    nlq_mbtowc(cs, &cp, text, textLen);
    nlq_char_boundary(cs, text, textLen, textLen / 2);
    NlqCodeset* copy = nlq_codeset_copy(cs);
    nlq_mblen(copy, text, textLen);
    nlq_codeset_destroy(copy);
    nlq_codeset_destroy(cs);
    return 0;
}
