// ASCII-compatible multi-byte codesets of the EUC family: a sequence of n bytes (its
// length given by the class of its first byte) is walked through a tree of nodes in the
// row area; from Unicode, each code point has a pair (prefix record, code) and is
// written as the prefix bytes followed by the two bytes of the code.
#include "i18n/nlq_codeset_engine.h"

namespace nlq_detail {
namespace {

constexpr uint8_t kClassUnmappable = 255;
constexpr uint8_t kClassSingle = 1;

struct MbcsCodec {
    static constexpr bool kAsciiCompatible = true;
    static constexpr bool kWide = false;

    static uint16_t toTableEntry(const CodesetIndex& ix, uint8_t b) {
        return loadU16(ix.image + nlq_table::kToTableOffset + 2 * b);
    }

    // The tree step for byte c from node v: the next node (or code point), 0xFFFF when
    // the byte is outside the node's range or the node does not lie inside the image.
    static uint16_t treeStep(const CodesetIndex& ix, uint16_t v, uint8_t c) {
        const uint8_t* node = ix.row(v, 4);
        if (!node) return kUnmappable16;
        uint16_t count = loadU16(node);
        uint16_t first = loadU16(node + 2);
        if (c < first || static_cast<unsigned>(c - first) >= count) return kUnmappable16;
        size_t entry = 4 + 2 * static_cast<size_t>(c - first);
        if (!ix.row(v, entry + 2)) return kUnmappable16;
        return loadU16(node + entry);
    }

    [[gnu::always_inline]] static Decoded decode(const CodesetIndex& ix, uint8_t&, const uint8_t* p, size_t n) {
        uint8_t b = p[0];
        uint8_t cls = ix.image[nlq_table::kClassOffset + b];
        if (cls == kClassSingle) {
            uint16_t v = toTableEntry(ix, b);
            return {v == kUnmappable16 ? kNoChar : v, 1};
        }
        if (cls == kClassUnmappable || cls == 0) return {kNoChar, 1};
        if (n < cls) return {0, 0};
        uint16_t v = toTableEntry(ix, b);
        for (unsigned i = 1; i < cls && v != kUnmappable16; ++i) v = treeStep(ix, v, p[i]);
        return {v == kUnmappable16 ? kNoChar : v, cls};
    }

    [[gnu::always_inline]] static size_t encode(const CodesetIndex& ix, uint8_t&, uint32_t c, uint8_t* out, size_t room,
                         bool& substituted) {
        if (c <= 0xFFFF) {
            if (const uint8_t* row = ix.fromRow[c >> 8]) {
                uint16_t prefix = loadU16(row + 4 * (c & 0xFF));
                uint16_t code = loadU16(row + 4 * (c & 0xFF) + 2);
                if (code < 0x100) {
                    if (room == 0) return 0;
                    *out = static_cast<uint8_t>(code);
                    return 1;
                }
                if (code != kUnmappable16 && prefix != kUnmappable16) {
                    size_t at = static_cast<size_t>(prefix) * nlq_table::kPrefixRecordSize;
                    if (at <= ix.rowAreaSize && ix.rowAreaSize - at >= nlq_table::kPrefixRecordSize) {
                        const uint8_t* rec = ix.rowArea + at;
                        uint16_t count = loadU16(rec + nlq_table::kPrefixMaxBytes);
                        if (count <= nlq_table::kPrefixMaxBytes) {
                            if (room < count + 2u) return 0;
                            std::memcpy(out, rec, count);
                            out[count] = static_cast<uint8_t>(code >> 8);
                            out[count + 1] = static_cast<uint8_t>(code);
                            return count + 2u;
                        }
                    }
                }
            }
        }
        return putSubstitute('?', out, room, substituted);
    }
};

}  // namespace

const KindOps kMbcsOps = makeKindOps<MbcsCodec>();

}  // namespace nlq_detail
