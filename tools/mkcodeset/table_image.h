// A codeset table image under construction: the fixed header and the row area, with
// identical rows stored once.
#pragma once

#include "i18n/nlq_codeset_table.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mkcodeset {

class TableImage {
public:
    TableImage(const std::string& name, uint16_t kind);

    void put8(std::size_t offset, uint8_t v) { header_.at(offset) = v; }
    void put16(std::size_t offset, uint16_t v);
    void put32(std::size_t offset, uint32_t v);

    // Reserves `bytes` bytes (a multiple of 4) at the start of the row area, before any
    // row; used for the prefix records that are addressed in 16-byte steps from there.
    void reserveRowAreaHead(const std::vector<uint8_t>& bytes);
    // Stores a row (padded to 4 bytes) and returns its row number; identical rows share
    // one number. Fails (returns false) when the number would not fit in 16 bits.
    bool addRow(const std::vector<uint8_t>& bytes, uint16_t* number);

    // A block placed after the rows; returns its offset from the start of the image.
    std::size_t appendTail(const std::vector<uint8_t>& bytes);

    std::vector<uint8_t> bytes() const;

private:
    std::vector<uint8_t> header_;
    std::vector<uint8_t> rows_;
    std::vector<uint8_t> tail_;
    std::map<std::vector<uint8_t>, uint16_t> known_;
};

// Little-endian helpers for building rows.
inline void put16(std::vector<uint8_t>& v, std::size_t offset, uint16_t x) {
    v.at(offset) = static_cast<uint8_t>(x);
    v.at(offset + 1) = static_cast<uint8_t>(x >> 8);
}
inline std::vector<uint8_t> row16(const std::vector<uint16_t>& values) {
    std::vector<uint8_t> bytes(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i) put16(bytes, 2 * i, values[i]);
    return bytes;
}

}  // namespace mkcodeset
