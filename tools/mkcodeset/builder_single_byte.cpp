// Single-byte tables: ASCII-compatible (kind 1) and EBCDIC (kind 8).
#include "tools/mkcodeset/codeset_builder.h"
#include "tools/mkcodeset/table_image.h"

#include <array>

namespace mkcodeset {

namespace tbl = nlq_table;

bool buildSingleByte(IconvProbe& probe, const std::string& name, bool ebcdic, std::vector<uint8_t>* image,
                     std::string* error) {
    TableImage t(name, ebcdic ? 8 : 1);
    const uint8_t subst = ebcdic ? 0x6F : '?';
    if (ebcdic) t.put16(tbl::kEbcdicMarkOffset, tbl::kEbcdicMark);
    t.put8(tbl::kSubstByteOffset, subst);
    t.put16(tbl::kSubstCodePointOffset, '?');

    std::vector<uint32_t> cps;
    for (unsigned b = 0; b < 256; ++b) {
        uint16_t v = tbl::kNoMapping;
        if (probe.decode({static_cast<uint8_t>(b)}, &cps) == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF)
            v = static_cast<uint16_t>(cps[0]);
        t.put16(tbl::kToTableOffset + 2 * b, v);
    }

    std::vector<std::vector<uint8_t>> rows(256, std::vector<uint8_t>(256, subst));
    std::vector<uint8_t> bytes;
    for (uint32_t cp = 0; cp < 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (!probe.encode(cp, &bytes) || bytes.size() != 1) continue;
        if (bytes[0] == subst && cp != '?') continue;  // would read as "no mapping"
        rows[cp >> 8][cp & 0xFF] = bytes[0];
    }
    for (unsigned h = 0; h < 256; ++h) {
        uint16_t r;
        if (!t.addRow(rows[h], &r)) {
            *error = "row area full";
            return false;
        }
        t.put16(tbl::kFromRowsOffset + 2 * h, r);
    }
    t.put16(tbl::kHeaderValueAOffset, 1);  // longest character in bytes
    *image = t.bytes();
    return true;
}

}  // namespace mkcodeset
