// The message carried by every event: catalog name, set and key, the default text, and
// the ordered list of typed parameters that the text's conversions refer to ("%1$s" is
// the first parameter).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gxlog/src/GXgLog.h"

namespace gxlog {

// One typed parameter: a type marker (GXG_PARM_BOOLEAN .. GXG_PARM_STRING) and its value
// at the marker's own width (boolean and char one byte, int, long and float 32 bits,
// double 64 bits). A string is an owned copy, or, for a logging call's own arguments,
// which stay unchanged until the call returns and with it the event, borrowed.
struct GXgParm {
    int type = GXG_PARM_INT;
    union {
        bool b;
        char c;
        int32_t i;   // GXG_PARM_INT and GXG_PARM_LONG
        float f;
        double d;
    } value{};
    std::string text;                     // GXG_PARM_STRING, owned
    const char* borrowedText = nullptr;   // GXG_PARM_STRING, borrowed (NUL-terminated)

    // The string's text, NUL-terminated.
    const char* textData() const { return borrowedText ? borrowedText : text.c_str(); }

    static GXgParm boolean(bool v) { GXgParm p; p.type = GXG_PARM_BOOLEAN; p.value.b = v; return p; }
    static GXgParm integer(int32_t v) { GXgParm p; p.type = GXG_PARM_INT; p.value.i = v; return p; }
    static GXgParm longInt(int32_t v) { GXgParm p; p.type = GXG_PARM_LONG; p.value.i = v; return p; }
    static GXgParm real(float v) { GXgParm p; p.type = GXG_PARM_FLOAT; p.value.f = v; return p; }
    static GXgParm dbl(double v) { GXgParm p; p.type = GXG_PARM_DOUBLE; p.value.d = v; return p; }
    static GXgParm character(char v) { GXgParm p; p.type = GXG_PARM_CHAR; p.value.c = v; return p; }
    static GXgParm string(std::string_view v) {
        GXgParm p;
        p.type = GXG_PARM_STRING;
        p.text.assign(v);
        return p;
    }
};

using GXgParmList = std::vector<GXgParm>;

// A message: a catalog message (catalog, set, key) with the default text as fallback,
// or a plain text message (no catalog, set 0, key 0).
struct GXgI18Msg {
    std::optional<std::string> catalog;
    int32_t set = 0;
    int32_t key = 0;
    std::string defaultText;
    GXgParmList params;
    // A logging call's own format, borrowed for the call's length in place of defaultText.
    std::optional<std::string_view> borrowedDefaultText = std::nullopt;

    std::string_view defaultTextView() const { return borrowedDefaultText ? *borrowedDefaultText : defaultText; }
};

}  // namespace gxlog
