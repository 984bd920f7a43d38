// Output codesets of log files when the codeset services are not part of the build:
// only the UTF-8 names load (and pass the text through).
#include <cctype>

#include "gxlog/src/GXgFileHandler.h"

namespace gxlog {

namespace {

class Utf8Codeset final : public OutputCodeset {
public:
    bool fromUtf8(std::string_view utf8, std::size_t capacity, std::string& out) const override {
        if (utf8.size() > capacity) return false;
        out.assign(utf8);
        return true;
    }
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<OutputCodeset> OutputCodeset::open(const std::string& name) {
    if (equalsIgnoringCase(name, "UTF8") || equalsIgnoringCase(name, "UTF-8"))
        return std::make_unique<Utf8Codeset>();
    return nullptr;
}

}  // namespace gxlog
