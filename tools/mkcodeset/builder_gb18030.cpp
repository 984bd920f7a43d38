// GB 18030 (kind 10): the range table. Each half maps keys up to 0xFFFE (GB keys to
// Unicode, code points to GB keys) with records sorted by first key: runs that grow by
// one become computed records (type 2), everything else is looked up in a value list
// (type 1); long stretches without mapping get no record at all.
#include "tools/mkcodeset/codeset_builder.h"
#include "tools/mkcodeset/table_image.h"

namespace mkcodeset {

namespace tbl = nlq_table;

namespace {

constexpr uint32_t kKeys = 0xFFFF;      // keys 0 .. 0xFFFE
constexpr uint32_t kBlock = 512;
constexpr uint32_t kMinRun = 128;       // shorter runs stay in the value list
constexpr uint32_t kMinGap = 128;       // shorter gaps stay in the value list as 0xFFFF

struct Record {
    uint16_t first, last, type, parameter;
};

struct Half {
    std::vector<Record> records;
    std::vector<uint16_t> index;
    std::vector<uint16_t> values;
};

// Splits `map` (key -> value, 0xFFFF for none) into records.
bool makeHalf(const std::vector<uint16_t>& map, Half* half, std::string* error) {
    uint32_t k = 0;
    auto runLength = [&](uint32_t at) {
        uint32_t n = 1;
        while (at + n < kKeys && map[at + n] != tbl::kNoMapping && map[at + n] == map[at] + n) ++n;
        return n;
    };
    auto gapLength = [&](uint32_t at) {
        uint32_t n = 0;
        while (at + n < kKeys && map[at + n] == tbl::kNoMapping) ++n;
        return n;
    };
    while (k < kKeys) {
        uint32_t gap = gapLength(k);
        if (gap >= kMinGap || k + gap >= kKeys) {
            k += gap;
            continue;
        }
        uint32_t run = runLength(k);
        if (map[k] != tbl::kNoMapping && run >= kMinRun) {
            half->records.push_back({static_cast<uint16_t>(k), static_cast<uint16_t>(k + run - 1), 2, map[k]});
            k += run;
            continue;
        }
        // A value-list record up to the next long run or long gap.
        uint32_t end = k;
        while (end < kKeys) {
            if (map[end] == tbl::kNoMapping) {
                if (gapLength(end) >= kMinGap) break;
                ++end;
                continue;
            }
            if (runLength(end) >= kMinRun) break;
            ++end;
        }
        if (half->values.size() > 0xFFFF) {
            *error = "value list too long";
            return false;
        }
        half->records.push_back({static_cast<uint16_t>(k), static_cast<uint16_t>(end - 1), 1,
                                 static_cast<uint16_t>(half->values.size())});
        half->values.insert(half->values.end(), map.begin() + k, map.begin() + end);
        k = end;
    }
    // A closing record above every key ends each walk.
    half->records.push_back({0xFFFF, 0xFFFF, 0xFFFF, 0});
    // Index: per block of 512 keys the first record whose range reaches into the block.
    for (uint32_t block = 0; block * kBlock < kKeys; ++block) {
        size_t r = 0;
        while (r + 1 < half->records.size() && half->records[r].last < block * kBlock) ++r;
        half->index.push_back(static_cast<uint16_t>(r));
    }
    return true;
}

void gbBytesOfKey(uint32_t key, std::vector<uint8_t>* bytes) {
    if (key < tbl::kGbFourByteBase) {
        *bytes = {static_cast<uint8_t>((key - 1) / 191 + 0x81), static_cast<uint8_t>((key - 1) % 191 + 0x40)};
        return;
    }
    uint32_t m = key - tbl::kGbFourByteBase;
    *bytes = {static_cast<uint8_t>(m / 12600 + 0x81), static_cast<uint8_t>((m / 1260) % 10 + 0x30),
              static_cast<uint8_t>((m / 10) % 126 + 0x81), static_cast<uint8_t>(m % 10 + 0x30)};
}

}  // namespace

bool buildGb18030(IconvProbe& probe, const std::string& name, std::vector<uint8_t>* image, std::string* error) {
    std::vector<uint16_t> toUnicode(kKeys, tbl::kNoMapping);
    std::vector<uint16_t> fromUnicode(kKeys, tbl::kNoMapping);
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> cps;
    for (uint32_t key = 1; key < kKeys; ++key) {
        gbBytesOfKey(key, &bytes);
        if (bytes[1] == 0x7F) continue;  // not a trail byte
        if (probe.decode(bytes, &cps) == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF)
            toUnicode[key] = static_cast<uint16_t>(cps[0]);
    }
    for (uint32_t cp = 0x80; cp < kKeys; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (!probe.encode(cp, &bytes)) continue;
        uint32_t key;
        if (bytes.size() == 2) {
            key = (bytes[0] - 0x81u) * 191 + (bytes[1] - 0x40u) + 1;
        } else if (bytes.size() == 4) {
            key = (bytes[0] - 0x81u) * 12600 + (bytes[1] - 0x30u) * 1260 + (bytes[2] - 0x81u) * 10 +
                  (bytes[3] - 0x30u) + tbl::kGbFourByteBase;
        } else {
            continue;
        }
        if (key < 0xFFFF) fromUnicode[cp] = static_cast<uint16_t>(key);
    }

    Half from, to;
    if (!makeHalf(fromUnicode, &from, error) || !makeHalf(toUnicode, &to, error)) return false;

    // Body: from-Unicode records, index, values; then the same for to-Unicode.
    std::vector<uint16_t> body;
    uint32_t starts[6];
    for (int h = 0; h < 2; ++h) {
        const Half& half = h == 0 ? from : to;
        starts[3 * h] = static_cast<uint32_t>(body.size());
        for (const Record& r : half.records) body.insert(body.end(), {r.first, r.last, r.type, r.parameter});
        starts[3 * h + 1] = static_cast<uint32_t>(body.size());
        body.insert(body.end(), half.index.begin(), half.index.end());
        starts[3 * h + 2] = static_cast<uint32_t>(body.size());
        body.insert(body.end(), half.values.begin(), half.values.end());
    }
    std::vector<uint8_t> range(tbl::kRangeHeaderSize, 0);
    const size_t headerSlots[6] = {0, 4, 8, 16, 20, 24};
    for (int i = 0; i < 6; ++i)
        for (int b = 0; b < 4; ++b) range[headerSlots[i] + b] = static_cast<uint8_t>(starts[i] >> (8 * b));
    std::vector<uint8_t> bodyBytes = row16(body);
    range.insert(range.end(), bodyBytes.begin(), bodyBytes.end());

    TableImage t(name, 10);
    size_t at = t.appendTail(range);
    if (at > 0xFFFF) {
        *error = "range table beyond 16-bit offset";
        return false;
    }
    t.put16(tbl::kRangeTableOffset, static_cast<uint16_t>(at));
    t.put16(tbl::kHeaderValueAOffset, 4);
    *image = t.bytes();
    return true;
}

}  // namespace mkcodeset
