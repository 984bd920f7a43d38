// Double-byte tables: ASCII-compatible lead/trail codesets (kind 2) and stateful EBCDIC
// with shift-out/shift-in stretches (kind 4).
#include "tools/mkcodeset/codeset_builder.h"
#include "tools/mkcodeset/table_image.h"

namespace mkcodeset {

namespace tbl = nlq_table;

namespace {

constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;

uint16_t single(IconvProbe& probe, const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> cps;
    if (probe.decode(bytes, &cps) == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF)
        return static_cast<uint16_t>(cps[0]);
    return tbl::kNoMapping;
}

}  // namespace

bool buildDoubleByte(IconvProbe& probe, const std::string& name, bool ebcdicStateful,
                     std::vector<uint8_t>* image, std::string* error) {
    TableImage t(name, ebcdicStateful ? 4 : 2);
    if (ebcdicStateful) {
        t.put8(tbl::kSubstByteOffset, 0x6F);
    }
    auto addRow = [&](const std::vector<uint16_t>& values, uint16_t* r) {
        if (t.addRow(row16(values), r)) return true;
        *error = "row area full";
        return false;
    };

    // Single bytes: row named by entry 0 of the to-Unicode table.
    std::vector<uint16_t> singles(256, tbl::kNoMapping);
    std::vector<bool> lead(256, false);
    std::vector<uint32_t> cps;
    for (unsigned b = 0; b < 256; ++b) {
        if (ebcdicStateful) {
            if (b != kShiftOut && b != kShiftIn) singles[b] = single(probe, {static_cast<uint8_t>(b)});
            lead[b] = b >= 0x40 && b <= 0xFE;
            continue;
        }
        Probe p = probe.decode({static_cast<uint8_t>(b)}, &cps);
        if (p == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF) singles[b] = static_cast<uint16_t>(cps[0]);
        if (b >= 0x80) {
            uint8_t cls = p == Probe::Ok ? 1 : p == Probe::Incomplete ? 2 : 0;
            lead[b] = cls == 2;
            t.put8(tbl::kClassOffset + b, cls);
        }
    }
    uint16_t r;
    if (!addRow(singles, &r)) return false;
    t.put16(tbl::kToTableOffset, r);

    for (unsigned b = 1; b < 256; ++b) {
        if (!lead[b]) continue;
        std::vector<uint16_t> trails(256, tbl::kNoMapping);
        for (unsigned c = 0; c < 256; ++c) {
            std::vector<uint8_t> seq = ebcdicStateful
                ? std::vector<uint8_t>{kShiftOut, static_cast<uint8_t>(b), static_cast<uint8_t>(c), kShiftIn}
                : std::vector<uint8_t>{static_cast<uint8_t>(b), static_cast<uint8_t>(c)};
            trails[c] = single(probe, seq);
        }
        if (!addRow(trails, &r)) return false;
        t.put16(tbl::kToTableOffset + 2 * b, r);
    }

    std::vector<std::vector<uint16_t>> rows(256, std::vector<uint16_t>(256, tbl::kNoMapping));
    std::vector<uint8_t> bytes;
    for (uint32_t cp = 0; cp < 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (!probe.encode(cp, &bytes)) continue;
        uint16_t v = tbl::kNoMapping;
        if (bytes.size() == 1 && !(ebcdicStateful && bytes[0] == kShiftOut)) {
            v = bytes[0];
        } else if (!ebcdicStateful && bytes.size() == 2) {
            v = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
        } else if (ebcdicStateful && bytes.size() == 4 && bytes[0] == kShiftOut && bytes[3] == kShiftIn) {
            v = static_cast<uint16_t>(bytes[1] << 8 | bytes[2]);
        }
        rows[cp >> 8][cp & 0xFF] = v;
    }
    for (unsigned h = 0; h < 256; ++h) {
        if (!addRow(rows[h], &r)) return false;
        t.put16(tbl::kFromRowsOffset + 2 * h, r);
    }
    t.put16(tbl::kHeaderValueAOffset, ebcdicStateful ? 4 : 2);
    *image = t.bytes();
    return true;
}

}  // namespace mkcodeset
