// Stand-in for the internationalisation services until they are linked in: UTF-8 is
// the only codeset (the internal, console and process codesets all pass UTF-8 through)
// and no message catalog can be opened, so every message renders from its default text.
#include "gxlog/src/GXgI18nBridge.h"

namespace gxlog::i18n {

namespace {
bool g_started = false;

void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

void start() { g_started = true; }
void stop() { g_started = false; }
bool started() { return g_started; }
NlqCodeset* internalCodeset() { return nullptr; }
NlqCodeset* consoleCodeset() { return nullptr; }

bool appendWide(NlqCodeset*, std::u16string_view units, std::optional<std::size_t> maxBytes,
                std::string& out) {
    const std::size_t start = out.size();
    std::string one;
    for (std::size_t i = 0; i < units.size();) {
        char32_t cp = units[i];
        std::size_t used = 1;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            used = 2;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        one.clear();
        appendUtf8(cp, one);
        if (maxBytes && out.size() - start + one.size() > *maxBytes) break;
        out += one;
        i += used;
    }
    return true;
}

std::string utf8ToConsole(std::string_view utf8, std::size_t capacity) {
    if (capacity == 0) return {};
    return std::string(utf8.substr(0, capacity - 1));
}

std::string processToUtf8(std::string_view text, std::size_t maxBytes) {
    return std::string(text.substr(0, maxBytes));
}

Catalog::Catalog(const std::string&) {}
Catalog::~Catalog() = default;

std::string Catalog::text(int32_t, int32_t, std::string_view defaultText) const {
    return std::string(defaultText);
}

}  // namespace gxlog::i18n
