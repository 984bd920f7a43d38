// Codeset table images built in memory, for the codeset, locale and catalog tests: written
// field by field (also images the compiler would never write), or a whole single-byte
// table from a few code points.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/nlq_codeset_table.h"

namespace testsupport {

class TableImage {
public:
    // A header of the kind and name, no rows, and every entry "no mapping".
    explicit TableImage(uint16_t kind, std::string_view name = "TEST") : bytes_(nlq_table::kMinImageSize, 0) {
        std::memcpy(&bytes_[nlq_table::kMagicOffset], "ucv", 3);
        std::memcpy(&bytes_[nlq_table::kNameOffset], name.data(), std::min<std::size_t>(name.size(), 31));
        put16(nlq_table::kKindOffset, kind);
        put32(nlq_table::kRowAreaOffset, static_cast<uint32_t>(nlq_table::kMinImageSize));
        put8(nlq_table::kSubstByteOffset, '?');
        put16(nlq_table::kSubstCodePointOffset, '?');
        for (size_t i = 0; i < 256; ++i) {
            put16(nlq_table::kFromRowsOffset + 2 * i, 0xFFFF);
            put16(nlq_table::kToTableOffset + 2 * i, 0xFFFF);
        }
    }
    void put8(size_t at, uint8_t v) {
        if (bytes_.size() < at + 1) bytes_.resize(at + 1, 0);
        bytes_[at] = v;
    }
    void put16(size_t at, uint16_t v) { put8(at, static_cast<uint8_t>(v)); put8(at + 1, static_cast<uint8_t>(v >> 8)); }
    void put32(size_t at, uint32_t v) { put16(at, static_cast<uint16_t>(v)); put16(at + 2, static_cast<uint16_t>(v >> 16)); }
    // Appends a row (padded to 4 bytes) and returns its row number.
    uint16_t addRow(const std::vector<uint8_t>& row) {
        size_t at = bytes_.size();
        bytes_.insert(bytes_.end(), row.begin(), row.end());
        while (bytes_.size() % 4) bytes_.push_back(0);
        return static_cast<uint16_t>((at - nlq_table::kMinImageSize) / 4);
    }
    static std::vector<uint8_t> row16(const std::vector<uint16_t>& values) {
        std::vector<uint8_t> row;
        for (uint16_t v : values) {
            row.push_back(static_cast<uint8_t>(v));
            row.push_back(static_cast<uint8_t>(v >> 8));
        }
        return row;
    }
    std::vector<unsigned char>& bytes() { return bytes_; }
    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// A single-byte table: bytes below 0x80 are ASCII; `upper` gives the code point of bytes
// from 0x80. The from-Unicode rows match; code points without a byte become '?'.
inline std::vector<unsigned char> sbcsTable(std::string_view name, const std::map<unsigned char, std::uint16_t>& upper) {
    TableImage image(1, name);
    std::vector<uint8_t> low(256, '?');
    for (unsigned b = 0; b < 0x80; ++b) {
        low[b] = static_cast<uint8_t>(b);
        image.put16(nlq_table::kToTableOffset + 2 * b, static_cast<uint16_t>(b));
    }
    for (const auto& [byte, codePoint] : upper) {
        image.put16(nlq_table::kToTableOffset + 2 * byte, codePoint);
        if (codePoint < 0x100) low[codePoint] = byte;
    }
    const uint16_t lowRow = image.addRow(low);
    const uint16_t otherRow = image.addRow(std::vector<uint8_t>(256, '?'));
    for (size_t high = 0; high < 256; ++high) image.put16(nlq_table::kFromRowsOffset + 2 * high, high == 0 ? lowRow : otherRow);
    return image.bytes();
}

// Latin-1: every byte is the code point of the same value.
inline std::vector<unsigned char> latin1Table(std::string_view name) {
    std::map<unsigned char, std::uint16_t> upper;
    for (unsigned b = 0x80; b < 0x100; ++b) upper[static_cast<unsigned char>(b)] = static_cast<std::uint16_t>(b);
    return sbcsTable(name, upper);
}

}  // namespace testsupport
