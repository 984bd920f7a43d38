// Helpers for the codeset tests: the generated codeset tables of the build, records
// released at the end of a test, and conversions into std::string / std::u16string.
#pragma once

#include "i18n/nlq_codeset.h"
#include "i18n/nlq_codeset_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_helpers.h"

namespace codeset_test {

struct CodesetDeleter {
    void operator()(NlqCodeset* cs) const { nlq_codeset_destroy(cs); }
};
using CodesetPtr = std::unique_ptr<NlqCodeset, CodesetDeleter>;

// The folder the build generated the codeset tables into ("Z:" in front under wine).
inline std::string dataDir() {
    std::string dir = ATTRSCAN_BINARY_DIR "/data/codeset/";
#ifdef _WIN32
    if (dir[0] == '/') dir = "Z:" + dir;
#endif
    return dir;
}

// A record built from an image held in `bytes` (copied into a std::malloc buffer).
inline CodesetPtr fromBytes(const std::vector<unsigned char>& bytes) {
    auto* image = static_cast<unsigned char*>(std::malloc(bytes.size() ? bytes.size() : 1));
    if (!bytes.empty()) std::memcpy(image, bytes.data(), bytes.size());
    return CodesetPtr(nlq_codeset_from_table(image, bytes.size()));
}

inline std::vector<unsigned char> readFile(const std::string& path) {
    const std::string text = testsupport::fileText(path);
    return {text.begin(), text.end()};
}

// The generated table of that canonical name; null when the build has not made it.
inline CodesetPtr loadTable(const std::string& name) {
    std::vector<unsigned char> bytes = readFile(dataDir() + name);
    if (bytes.empty()) return nullptr;
    return fromBytes(bytes);
}

inline std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

inline std::string fromUtf8(NlqCodeset* cs, const std::string& utf8) {
    std::string out(4 * utf8.size() + 8, '\0');
    size_t n = nlq_from_utf8(cs, utf8.data(), static_cast<ptrdiff_t>(utf8.size()), out.data(), out.size());
    out.resize(n);
    return out;
}
inline std::string toUtf8(NlqCodeset* cs, const std::string& text) {
    std::string out(4 * text.size() + 8, '\0');
    size_t n = nlq_to_utf8(cs, text.data(), static_cast<ptrdiff_t>(text.size()), out.data(), out.size());
    out.resize(n);
    return out;
}
inline std::u16string toUcs2(NlqCodeset* cs, const std::string& text) {
    std::u16string out(2 * text.size() + 8, u'\0');
    size_t n = nlq_to_ucs2(cs, text.data(), static_cast<ptrdiff_t>(text.size()),
                           reinterpret_cast<NlqUcs2*>(out.data()), out.size());
    out.resize(n);
    return out;
}
inline std::string fromUcs2(NlqCodeset* cs, const std::u16string& units) {
    std::string out(8 * units.size() + 8, '\0');
    size_t n = nlq_from_ucs2(cs, reinterpret_cast<const NlqUcs2*>(units.data()),
                             static_cast<ptrdiff_t>(units.size()), out.data(), out.size());
    out.resize(n);
    return out;
}

inline std::string hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

}  // namespace codeset_test

namespace codeset_test {

// A table image written field by field, for tests of images that the compiler would
// never write (rows out of range, odd classes, broken range tables).
class ImageBuilder {
public:
    explicit ImageBuilder(uint16_t kind, const char* name = "TEST") : bytes_(nlq_table::kMinImageSize, 0) {
        std::memcpy(&bytes_[nlq_table::kMagicOffset], "ucv", 3);
        std::strncpy(reinterpret_cast<char*>(&bytes_[nlq_table::kNameOffset]), name, 31);
        put16(nlq_table::kKindOffset, kind);
        put32(nlq_table::kRowAreaOffset, static_cast<uint32_t>(nlq_table::kMinImageSize));
        put8(nlq_table::kSubstByteOffset, '?');
        put16(nlq_table::kSubstCodePointOffset, '?');
        for (size_t i = 0; i < 256; ++i) {
            put16(nlq_table::kFromRowsOffset + 2 * i, 0xFFFF);
            put16(nlq_table::kToTableOffset + 2 * i, 0xFFFF);
        }
    }
    void put8(size_t at, uint8_t v) { grow(at + 1); bytes_[at] = v; }
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
    CodesetPtr build() const { return fromBytes(bytes_); }

private:
    void grow(size_t n) { if (bytes_.size() < n) bytes_.resize(n, 0); }
    std::vector<unsigned char> bytes_;
};

}  // namespace codeset_test
