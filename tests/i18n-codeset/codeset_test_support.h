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

#include "tests/support/codeset_image.h"
#include "tests/support/test_helpers.h"

namespace codeset_test {

struct CodesetDeleter {
    void operator()(NlqCodeset* cs) const { nlq_codeset_destroy(cs); }
};
using CodesetPtr = std::unique_ptr<NlqCodeset, CodesetDeleter>;

// The folder the build generated the codeset tables into ("Z:" in front under wine).
inline std::string dataDir() {
    return testsupport::hostPath(ATTRSCAN_BINARY_DIR "/data/codeset/");
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

// A table image written field by field, as a codeset record.
class ImageBuilder : public testsupport::TableImage {
public:
    using TableImage::TableImage;
    CodesetPtr build() const { return fromBytes(bytes()); }
};

}  // namespace codeset_test
