#include "tools/mkcodeset/table_image.h"

#include <algorithm>
#include <cstring>

namespace mkcodeset {

namespace tbl = nlq_table;

TableImage::TableImage(const std::string& name, uint16_t kind) : header_(tbl::kMinImageSize, 0) {
    std::memcpy(&header_[tbl::kMagicOffset], tbl::kMagic, sizeof tbl::kMagic);
    std::memcpy(&header_[tbl::kNameOffset], name.data(), std::min(name.size(), tbl::kNameSize - 1));
    put16(tbl::kKindOffset, kind);
    put32(tbl::kRowAreaOffset, static_cast<uint32_t>(tbl::kMinImageSize));
    put16(tbl::kSubstCodePointOffset, '?');
    put8(tbl::kSubstByteOffset, '?');
    // Rows that a kind does not use stay "no mapping".
    for (std::size_t i = 0; i < 256; ++i) {
        put16(tbl::kFromRowsOffset + 2 * i, tbl::kNoMapping);
        put16(tbl::kToTableOffset + 2 * i, tbl::kNoMapping);
    }
}

void TableImage::put16(std::size_t offset, uint16_t v) {
    header_.at(offset) = static_cast<uint8_t>(v);
    header_.at(offset + 1) = static_cast<uint8_t>(v >> 8);
}

void TableImage::put32(std::size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) header_.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

void TableImage::reserveRowAreaHead(const std::vector<uint8_t>& bytes) {
    rows_.assign(bytes.begin(), bytes.end());  // called before any row is added
    while (rows_.size() % tbl::kRowUnit) rows_.push_back(0);
}

bool TableImage::addRow(const std::vector<uint8_t>& bytes, uint16_t* number) {
    auto found = known_.find(bytes);
    if (found != known_.end()) {
        *number = found->second;
        return true;
    }
    std::size_t r = rows_.size() / tbl::kRowUnit;
    if (r >= tbl::kNoMapping) return false;
    rows_.insert(rows_.end(), bytes.begin(), bytes.end());
    while (rows_.size() % tbl::kRowUnit) rows_.push_back(0);
    *number = static_cast<uint16_t>(r);
    known_.emplace(bytes, *number);
    return true;
}

std::size_t TableImage::appendTail(const std::vector<uint8_t>& bytes) {
    std::size_t offset = header_.size() + rows_.size() + tail_.size();
    tail_.insert(tail_.end(), bytes.begin(), bytes.end());
    return offset;
}

std::vector<uint8_t> TableImage::bytes() const {
    std::vector<uint8_t> all(header_);
    all.insert(all.end(), rows_.begin(), rows_.end());
    all.insert(all.end(), tail_.begin(), tail_.end());
    return all;
}

}  // namespace mkcodeset
