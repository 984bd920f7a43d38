// Codeset records: the two built-in codesets, records built from table images (with the
// index of validated rows), copies, and the release of a record.
#include "i18n/nlq_codeset.h"

#include "i18n/nlq_codeset_engine.h"
#include "i18n/nlq_locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

using namespace nlq_detail;
namespace tbl = nlq_table;

namespace {

const CodesetIndex kEmptyIndex{};

NlqCodeset makeBuiltin(uint16_t kind, const char* name) {
    NlqCodeset cs{};
    cs.kind = kind;
    std::strncpy(cs.name, name, sizeof cs.name - 1);
    cs.index = &kEmptyIndex;
    return cs;
}

NlqCodeset gUtf8 = makeBuiltin(NLQ_KIND_UTF8, "UTF8");
NlqCodeset gPassthrough = makeBuiltin(NLQ_KIND_PASSTHROUGH, "OS");

uint16_t kindOf(const uint8_t* image) {
    if (loadU16(image + tbl::kEbcdicMarkOffset) == tbl::kEbcdicMark) return NLQ_KIND_EBCDIC_SBCS;
    return loadU16(image + tbl::kKindOffset);
}

uint16_t toTableEntry(const uint8_t* image, unsigned b) {
    return loadU16(image + tbl::kToTableOffset + 2 * b);
}

// Size in bytes of a from-Unicode row for the kind.
size_t fromRowBytes(uint16_t kind) {
    switch (kind) {
    case NLQ_KIND_SBCS:
    case NLQ_KIND_EBCDIC_SBCS: return 256;
    case NLQ_KIND_DBCS:
    case NLQ_KIND_EBCDIC_STATEFUL: return 512;
    case NLQ_KIND_MBCS: return 1024;
    default: return 0;
    }
}

// Reads the range table header of a GB 18030 image; false when it does not lie inside
// the image.
bool indexRangeTable(CodesetIndex& ix) {
    size_t at = loadU16(ix.image + tbl::kRangeTableOffset);
    if (at > ix.size || ix.size - at < tbl::kRangeHeaderSize) return false;
    const uint8_t* header = ix.image + at;
    ix.rangeBody = header + tbl::kRangeHeaderSize;
    ix.rangeUnits = (ix.size - at - tbl::kRangeHeaderSize) / 2;
    ix.fromRecords = loadU32(header + 0);
    ix.fromIndex = loadU32(header + 4);
    ix.fromValues = loadU32(header + 8);
    ix.toRecords = loadU32(header + 16);
    ix.toIndex = loadU32(header + 20);
    ix.toValues = loadU32(header + 24);
    for (uint32_t start : {ix.fromRecords, ix.fromIndex, ix.fromValues, ix.toRecords, ix.toIndex, ix.toValues})
        if (start > ix.rangeUnits) return false;
    return true;
}

// Fills the index of a table image; false when the image does not hold together.
bool buildIndex(CodesetIndex& ix, uint16_t kind) {
    const uint8_t* image = ix.image;
    size_t rowArea = loadU32(image + tbl::kRowAreaOffset);
    if (rowArea > ix.size) return false;
    ix.rowArea = image + rowArea;
    ix.rowAreaSize = ix.size - rowArea;
    ix.substByte = image[tbl::kSubstByteOffset];
    ix.substCodePoint = loadU16(image + tbl::kSubstCodePointOffset);

    if (size_t bytes = fromRowBytes(kind)) {
        for (unsigned h = 0; h < 256; ++h) {
            uint16_t r = loadU16(image + tbl::kFromRowsOffset + 2 * h);
            ix.fromRow[h] = r == tbl::kNoMapping ? nullptr : ix.row(r, bytes);
        }
    }
    switch (kind) {
    case NLQ_KIND_SBCS:
        for (unsigned b = 0; b < 256; ++b) ix.byteToCode[b] = toTableEntry(image, b);
        break;
    case NLQ_KIND_EBCDIC_SBCS:
        for (unsigned b = 0; b < 256; ++b)
            ix.byteToCode[b] = kEbcdicInvariantByte[b] ? kEbcdicToUnicode[b] : toTableEntry(image, b);
        for (unsigned c = 0; c < 256; ++c) {
            uint16_t v = kUnmappable16;
            if (kEbcdicInvariantCodePoint[c]) {
                v = kUnicodeToEbcdic[c];
            } else if (const uint8_t* row = ix.fromRow[0]) {
                uint8_t b = row[c];
                if (b != ix.substByte || c == ix.substCodePoint) v = b;
            }
            ix.lowCodeToByte[c] = v;
        }
        break;
    case NLQ_KIND_DBCS:
    case NLQ_KIND_EBCDIC_STATEFUL:
        for (unsigned b = 0; b < 256; ++b) {
            uint16_t r = toTableEntry(image, b);
            ix.toRow[b] = r == tbl::kNoMapping ? nullptr : ix.row(r, 512);
        }
        if (kind == NLQ_KIND_EBCDIC_STATEFUL) {
            for (unsigned b = 0; b < 256; ++b) {
                uint16_t v = kUnmappable16;
                if (kEbcdicInvariantByte[b]) v = kEbcdicToUnicode[b];
                else if (ix.toRow[0]) v = loadU16(ix.toRow[0] + 2 * b);
                ix.byteToCode[b] = v;
            }
        }
        break;
    case NLQ_KIND_GB18030:
        return indexRangeTable(ix);
    default:
        break;
    }
    return true;
}

}  // namespace

NlqCodeset* nlq_codeset_utf8() { return &gUtf8; }
NlqCodeset* nlq_codeset_passthrough() { return &gPassthrough; }

bool nlq_codeset_is_builtin(const NlqCodeset* codeset) {
    return codeset == &gUtf8 || codeset == &gPassthrough;
}

NlqCodeset* nlq_codeset_from_table(NlqCodesetTable* image, std::size_t size) {
    if (!image) return nullptr;
    if (size < tbl::kMinImageSize || size > UINT32_MAX ||
        std::memcmp(image + tbl::kMagicOffset, tbl::kMagic, sizeof tbl::kMagic) != 0) {
        std::free(image);
        return nullptr;
    }
    auto* ix = new (std::nothrow) CodesetIndex{};
    auto* cs = new (std::nothrow) NlqCodeset{};
    uint16_t kind = kindOf(image);
    if (ix) {
        ix->image = image;
        ix->size = size;
    }
    if (!ix || !cs || !buildIndex(*ix, kind)) {
        delete ix;
        delete cs;
        std::free(image);
        return nullptr;
    }
    cs->table = image;
    cs->tableSize = static_cast<uint32_t>(size);
    cs->headerValueB = loadU16(image + tbl::kHeaderValueBOffset);
    std::memcpy(cs->headerBlock, image + tbl::kHeaderBlockOffset, tbl::kHeaderBlockSize);
    cs->headerValueA = loadU16(image + tbl::kHeaderValueAOffset);
    cs->openMarker = 1;
    cs->kind = kind;
    const char* name = reinterpret_cast<const char*>(image + tbl::kNameOffset);
    size_t n = 0;
    while (n < sizeof cs->name - 1 && name[n]) ++n;
    std::memcpy(cs->name, name, n);
    cs->index = ix;
    return cs;
}

void nlq_codeset_destroy(NlqCodeset* codeset) {
    if (!codeset || nlq_codeset_is_builtin(codeset)) return;
    if (!codeset->sharesTable) {
        std::free(codeset->table);
        if (codeset->index != &kEmptyIndex) delete codeset->index;
    }
    delete codeset;
}

NlqCodeset* nlq_codeset_copy(const NlqCodeset* codeset) {
    if (!codeset) return nullptr;
    auto* copy = new (std::nothrow) NlqCodeset(*codeset);
    if (!copy) return nullptr;
    copy->sharesTable = 1;
    copy->inputShift = 0;
    copy->outputShift = 0;
    copy->substitutionCount = 0;
    return copy;
}

const NlqCodesetTable* nlq_codeset_table(const NlqCodeset* codeset, uint32_t* size) {
    const NlqCodesetTable* table = codeset ? codeset->table : nullptr;
    if (size) *size = table ? codeset->tableSize : 0;
    return table;
}

namespace nlq_detail {

NlqCodeset* resolveCodeset(NlqCodeset* codeset) {
    return codeset ? codeset : nlq_get_current_codeset();
}

const KindOps& kindOps(uint16_t kind) {
    switch (kind) {
    case NLQ_KIND_SBCS: return kSbcsOps;
    case NLQ_KIND_DBCS: return kDbcsOps;
    case NLQ_KIND_MBCS: return kMbcsOps;
    case NLQ_KIND_EBCDIC_STATEFUL: return kEbcdicStatefulOps;
    case NLQ_KIND_UTF8: return kUtf8Ops;
    case NLQ_KIND_EBCDIC_SBCS: return kEbcdicSbcsOps;
    case NLQ_KIND_GB18030: return kGb18030Ops;
    default: return kPassthroughOps;
    }
}

}  // namespace nlq_detail
