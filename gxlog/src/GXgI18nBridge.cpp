// The toolkit's codesets and catalogs through the internationalisation services.
#include <cstring>
#include <vector>

#include "gxlog/src/GXgI18nBridge.h"
#include "i18n/nlq.h"

namespace gxlog::i18n {

namespace {
bool g_started = false;
NlqCodeset* g_internal = nullptr;  // "UTF8", for catalog texts
NlqCodeset* g_console = nullptr;   // "DOS", for standard output and standard error
}  // namespace

void start() {
    if (g_started) return;
    nlq_init();
    g_internal = nlq_codeset_open("UTF8");
    g_console = nlq_codeset_open("DOS");
    g_started = true;
}

void stop() {
    if (!g_started) return;
    nlq_codeset_close(g_console);
    nlq_codeset_close(g_internal);
    g_console = g_internal = nullptr;
    nlq_terminate();
    g_started = false;
}

bool started() { return g_started; }
NlqCodeset* internalCodeset() { return g_internal; }
NlqCodeset* consoleCodeset() { return g_console; }

bool appendWide(NlqCodeset* cs, std::u16string_view units, std::optional<std::size_t> maxBytes,
                std::string& out) {
    NlqCodeset* codeset = cs ? cs : nlq_get_current_codeset();
    const std::size_t start = out.size();
    nlq_wctomb(codeset, nullptr, 0);  // a fresh shift state for this text
    bool ok = true;
    for (std::size_t i = 0; i < units.size();) {
        // One character: a unit, or a high and low surrogate together.
        std::size_t count = 1;
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            count = 2;
        const NlqUcs2* in = reinterpret_cast<const NlqUcs2*>(units.data() + i);
        std::size_t inLeft = count;
        char bytes[16];
        char* o = bytes;
        std::size_t outLeft = sizeof bytes;
        // The codeset substitutes what it cannot represent and counts it; a rise in the
        // count is what makes a character unconvertible here.
        const unsigned substitutions = codeset->substitutionCount;
        const int result = nlq_step_from_ucs2(codeset, &in, &inLeft, &o, &outLeft);
        if (result != NLQ_STEP_DONE || inLeft != 0 || codeset->substitutionCount != substitutions) {
            ok = false;
            break;
        }
        const std::size_t n = sizeof bytes - outLeft;
        if (maxBytes && out.size() - start + n > *maxBytes) break;
        out.append(bytes, n);
        i += count;
    }
    // Close an open double-byte stretch of a stateful codeset.
    char closing[4];
    char* o = closing;
    std::size_t outLeft = sizeof closing;
    nlq_step_from_ucs2(codeset, nullptr, nullptr, &o, &outLeft);
    out.append(closing, sizeof closing - outLeft);
    return ok;
}

std::string utf8ToConsole(std::string_view utf8, std::size_t capacity) {
    if (capacity == 0) return {};
    // Without a console codeset (none could be opened) the process codeset is used.
    std::vector<char> buffer(capacity);
    const std::size_t n = nlq_from_utf8(g_console, utf8.data(), static_cast<std::ptrdiff_t>(utf8.size()),
                                        buffer.data(), capacity - 1);
    return std::string(buffer.data(), n);
}

std::string processToUtf8(std::string_view text, std::size_t maxBytes) {
    if (maxBytes == 0) return {};
    std::vector<char> buffer(maxBytes);
    const std::size_t n =
        nlq_to_utf8(nullptr, text.data(), static_cast<std::ptrdiff_t>(text.size()), buffer.data(), maxBytes);
    return std::string(buffer.data(), n);
}

Catalog::Catalog(const std::string& name) { handle_ = nlq_catopen(name.c_str(), 0, nullptr); }

Catalog::~Catalog() {
    if (handle_) nlq_catclose(handle_);
}

std::string Catalog::text(int32_t set, int32_t key, std::string_view defaultText) const {
    if (!handle_) return std::string(defaultText);
    const std::string fallback(defaultText);
    NlqCodeset* utf8 = g_internal ? g_internal : nlq_codeset_utf8();
    const char* text = nlq_catgets(handle_, set, key, fallback.c_str(), utf8);
    return text ? std::string(text) : fallback;
}

}  // namespace gxlog::i18n
