// Multi-byte tables of the EUC family (kind 3): sequences walked through a byte tree to
// Unicode; from Unicode, a prefix record and a two-byte code per code point.
#include "tools/mkcodeset/codeset_builder.h"
#include "tools/mkcodeset/table_image.h"

#include <map>

namespace mkcodeset {

namespace tbl = nlq_table;

namespace {

constexpr unsigned kMaxSequence = 4;

struct TreeBuilder {
    IconvProbe& probe;
    TableImage& image;
    std::string& error;

    // The node for the sequences that start with `prefix`: its row number, and through
    // *depth the number of bytes that complete a character from here (equal for all).
    bool build(const std::vector<uint8_t>& prefix, uint16_t* row, unsigned* depth) {
        std::vector<uint16_t> entries(256, tbl::kNoMapping);
        int first = -1, last = -1;
        unsigned childDepth = 0;
        std::vector<uint32_t> cps;
        for (unsigned c = 0; c < 256; ++c) {
            std::vector<uint8_t> seq(prefix);
            seq.push_back(static_cast<uint8_t>(c));
            Probe p = probe.decode(seq, &cps);
            unsigned d;
            uint16_t v;
            if (p == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF) {
                d = 1;
                v = static_cast<uint16_t>(cps[0]);
            } else if (p == Probe::Incomplete && seq.size() < kMaxSequence) {
                if (!build(seq, &v, &d)) return false;
                ++d;
            } else {
                continue;
            }
            if (childDepth && d != childDepth) {
                error = "sequences of different lengths after the same bytes";
                return false;
            }
            childDepth = d;
            entries[c] = v;
            if (first < 0) first = static_cast<int>(c);
            last = static_cast<int>(c);
        }
        if (first < 0) {
            first = last = 0;
            childDepth = 1;
        }
        std::vector<uint16_t> node{static_cast<uint16_t>(last - first + 1), static_cast<uint16_t>(first)};
        node.insert(node.end(), entries.begin() + first, entries.begin() + last + 1);
        if (!image.addRow(row16(node), row)) {
            error = "row area full";
            return false;
        }
        *depth = childDepth;
        return true;
    }
};

}  // namespace

bool buildMultiByte(IconvProbe& probe, const std::string& name, std::vector<uint8_t>* image, std::string* error) {
    TableImage t(name, 3);

    // From Unicode first: it decides the prefix records, which open the row area.
    std::map<std::string, uint16_t> prefixes;  // prefix bytes -> record number
    prefixes.emplace(std::string(), 0);
    std::vector<std::pair<uint16_t, uint16_t>> pairs(0x10000, {tbl::kNoMapping, tbl::kNoMapping});
    std::vector<uint8_t> bytes;
    unsigned longest = 1;
    for (uint32_t cp = 0; cp < 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (!probe.encode(cp, &bytes) || bytes.empty() || bytes.size() > tbl::kPrefixMaxBytes + 2) continue;
        if (bytes.size() > longest) longest = static_cast<unsigned>(bytes.size());
        if (bytes.size() == 1) {
            pairs[cp] = {0, bytes[0]};
            continue;
        }
        std::string prefix(bytes.begin(), bytes.end() - 2);
        auto [it, added] = prefixes.emplace(prefix, static_cast<uint16_t>(prefixes.size()));
        uint16_t code = static_cast<uint16_t>(bytes[bytes.size() - 2] << 8 | bytes.back());
        if (code < 0x100) continue;  // would read as a single byte
        pairs[cp] = {it->second, code};
    }
    std::vector<uint8_t> head(prefixes.size() * tbl::kPrefixRecordSize, 0);
    for (const auto& [prefix, number] : prefixes) {
        uint8_t* rec = &head[number * tbl::kPrefixRecordSize];
        std::copy(prefix.begin(), prefix.end(), rec);
        rec[tbl::kPrefixMaxBytes] = static_cast<uint8_t>(prefix.size());
    }
    t.reserveRowAreaHead(head);

    std::vector<uint32_t> cps;
    TreeBuilder tree{probe, t, *error};
    for (unsigned b = 0x80; b < 256; ++b) {
        Probe p = probe.decode({static_cast<uint8_t>(b)}, &cps);
        if (p == Probe::Ok && cps.size() == 1 && cps[0] < 0xFFFF) {
            t.put8(tbl::kClassOffset + b, 1);
            t.put16(tbl::kToTableOffset + 2 * b, static_cast<uint16_t>(cps[0]));
        } else if (p == Probe::Incomplete) {
            uint16_t row;
            unsigned depth;
            if (!tree.build({static_cast<uint8_t>(b)}, &row, &depth)) return false;
            t.put8(tbl::kClassOffset + b, static_cast<uint8_t>(depth + 1));
            t.put16(tbl::kToTableOffset + 2 * b, row);
        } else {
            t.put8(tbl::kClassOffset + b, 255);
        }
    }
    for (unsigned b = 0; b < 0x80; ++b) t.put16(tbl::kToTableOffset + 2 * b, static_cast<uint16_t>(b));

    for (unsigned h = 0; h < 256; ++h) {
        std::vector<uint16_t> row(512);
        for (unsigned l = 0; l < 256; ++l) {
            row[2 * l] = pairs[h << 8 | l].first;
            row[2 * l + 1] = pairs[h << 8 | l].second;
        }
        uint16_t r;
        if (!t.addRow(row16(row), &r)) {
            *error = "row area full";
            return false;
        }
        t.put16(tbl::kFromRowsOffset + 2 * h, r);
    }
    t.put16(tbl::kHeaderValueAOffset, static_cast<uint16_t>(longest));
    *image = t.bytes();
    return true;
}

}  // namespace mkcodeset
