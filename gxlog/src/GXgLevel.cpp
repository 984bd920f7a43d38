#include "gxlog/src/GXgLevel.h"

#include <cctype>
#include <cstring>

namespace gxlog {

namespace {
struct Keyword {
    const char* text;
    GXgLevel level;
};
// Compared in this order; the first keyword whose own length matches wins.
constexpr Keyword kKeywords[] = {
    {"OFF", GXG_LEVEL_OFF},           {"FATAL", GXG_LEVEL_FATAL},
    {"ERROR", GXG_LEVEL_ERROR},       {"WARN", GXG_LEVEL_WARN},
    {"INFO", GXG_LEVEL_INFO},         {"DEBUG_MIN", GXG_LEVEL_DEBUG_MIN},
    {"DEBUG_MID", GXG_LEVEL_DEBUG_MID}, {"DEBUG_MAX", GXG_LEVEL_DEBUG_MAX},
    {"ALL", GXG_LEVEL_ALL},
};

bool startsWithIgnoringCase(const char* text, const char* keyword) {
    for (; *keyword; ++text, ++keyword) {
        if (!*text) return false;
        if (std::toupper(static_cast<unsigned char>(*text)) != *keyword) return false;
    }
    return true;
}
}  // namespace

GXgLevel GXgLevelFromKeyword(const char* text) {
    if (!text) return GXG_LEVEL_UNSET;
    for (const Keyword& k : kKeywords) {
        if (startsWithIgnoringCase(text, k.text)) return k.level;
    }
    return GXG_LEVEL_UNSET;
}

bool GXgIsLevelMarker(int marker) {
    switch (marker) {
        case GXG_LEVEL_DEBUG_MAX:
        case GXG_LEVEL_DEBUG_MID:
        case GXG_LEVEL_DEBUG_MIN:
        case GXG_LEVEL_INFO:
        case GXG_LEVEL_WARN:
        case GXG_LEVEL_ERROR:
        case GXG_LEVEL_FATAL:
        case GXG_LEVEL_OFF:
        case GXG_LEVEL_UNSET:
            return true;
        default:
            return false;
    }
}

}  // namespace gxlog
