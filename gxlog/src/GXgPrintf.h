// The toolkit's printf engine. A format is parsed once into literal segments and
// conversions plus an argument table; the arguments are then bound (from a variable
// argument list, or from a message's typed parameters) and the segments rendered.
//
// Differences from the C library's printf that callers can rely on:
// - Positional ("%2$s") and sequential conversions may be mixed; they share one counter,
//   which a sequential conversion advances after its '*' width and precision.
// - A precision's digits must start with 1-9: ".0" leaves the 0 to be read as the
//   conversion character and the parse fails; '.' alone means no precision at all.
// - A negative '*' width counts as no width; a negative '*' precision as none.
// - %p prints the pointer like %x (no "0x", a null pointer is "0"); a null %s is empty.
// - The "'" flag groups d and u (not i, o, x); f, F, g and G group their integer digits.
// - Floating point is built from at most 16 significant digits; f rounds half up at the
//   last printed digit and writes zeros past the 16th digit.
// - %n and unknown conversion characters make the formatting fail.
// - Wide strings and characters (%S %ls %C %lc) are written in the codeset given to
//   the call (the process codeset when none).
// Each argument is taken with its C type (long, size_t, long double and pointers at
// their native width).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gxlog/src/GXgMessage.h"
#include "gxlog/src/util/CxInlineVec.h"
#include "gxlog/src/util/CxStringBuff.h"

struct NlqCodeset;

namespace gxlog {

// How an argument is taken from a variable argument list.
enum class ArgCategory : uint8_t {
    Unused,         // no conversion refers to this index
    SignedInt,      // d i (no modifier), c, widths and precisions
    SignedShort,    // d i with h
    SignedChar,     // d i with hh
    SignedLong,     // d i with l
    Signed64,       // d i with ll, I64, q, j, L
    UnsignedInt,    // o u x X
    UnsignedShort,  // with h
    UnsignedChar,   // with hh
    UnsignedLong,   // with l
    Unsigned64,     // with ll, I64, q, j, L
    Size,           // z, Z
    PtrDiff,        // t
    Double,         // a e f g A E F G
    LongDouble,     // the same with L
    Pointer,        // p
    String,         // s
    WideString,     // S, ls
    Count,          // n
    WideChar,       // C, lc
};

enum class LengthMod : uint8_t { None, hh, h, l, ll, L, I64, j, q, t, z };

enum FormatFlag : uint8_t {
    kFlagLeft = 1,       // '-'
    kFlagZero = 2,       // '0'
    kFlagPlus = 4,       // '+'
    kFlagSpace = 8,      // ' '
    kFlagAlt = 16,       // '#'
    kFlagGrouping = 32,  // '\''
};

// One bound argument: an integer (its bits, sign- or zero-extended to 64 bits), a
// double, or an address (strings, pointers).
struct ArgValue {
    enum class Kind : uint8_t { None, Integer, Floating, Address };
    Kind kind = Kind::None;
    uint64_t bits = 0;
    double real = 0;
    const void* address = nullptr;
    bool narrowText = false;  // an address known to be a narrow text (message parameters)
};

struct ArgSlot {
    ArgCategory category = ArgCategory::Unused;
    ArgValue value;
};

struct Conversion {
    static constexpr int kNone = -1;
    int valueArg = 0;              // argument index of the value
    int width = kNone;             // literal width, or kNone
    int widthArg = kNone;          // argument index of a '*' width, or kNone
    int precision = kNone;         // literal precision, or kNone
    int precisionArg = kNone;      // argument index of a '*' precision, or kNone
    uint8_t flags = 0;
    LengthMod length = LengthMod::None;
    char conversion = 0;
    ArgCategory category = ArgCategory::Unused;
    // No flag, width or precision: the value is written as it is, by the short path.
    bool bare = false;
};

struct Segment {
    bool isConversion = false;
    uint32_t begin = 0;   // literal: byte range of the format text
    uint32_t end = 0;
    uint32_t conversion = 0;  // conversion: index into the conversions
};

// A parsed format. The format text must outlive it.
class GXgFormat {
public:
    // Bounds that keep hostile formats (from catalog files) from exhausting memory.
    static constexpr int kMaxArguments = 1024;
    static constexpr int kMaxWidth = 1 << 20;

    // Parses the whole text. On failure the segments before the failing conversion are
    // kept (and ok() is false), so that a caller may render what came before it.
    explicit GXgFormat(std::string_view text);

    bool ok() const { return ok_; }
    std::size_t failOffset() const { return failOffset_; }
    std::string_view text() const { return text_; }
    std::size_t argumentCount() const { return args_.size(); }
    bool usesArguments() const { return !args_.empty(); }
    const CxInlineVec<Segment, 16>& segments() const { return segments_; }
    const CxInlineVec<Conversion, 8>& conversions() const { return conversions_; }
    ArgCategory category(std::size_t i) const { return args_[i].category; }

    // Binds arguments 0, 1, 2, ... from the list by their categories. False when an
    // index is unused (a gap in positional numbering): the list cannot be walked then.
    bool bind(va_list args);
    // Binds argument i to parameter i. False when a parameter is missing.
    bool bind(const GXgParmList& params);

    // Renders the segments into `out`; false at the first failing conversion, with the
    // output before it kept.
    bool render(CxStringBuff& out, NlqCodeset* codeset) const;
    bool render(std::string& out, NlqCodeset* codeset) const;

private:
    template <class Sink>
    bool renderInto(Sink& out, NlqCodeset* codeset) const;
    // One conversion that needs more than the short path: flags, width, precision, or a
    // kind other than d, i, u, x and s.
    template <class Sink>
    [[gnu::noinline]] bool renderConversion(Sink& out, const Conversion& c, const ArgValue& v,
                                            NlqCodeset* codeset) const;
    bool parse();
    int useArgument(int index, ArgCategory category);

    std::string_view text_;
    bool ok_ = false;
    std::size_t failOffset_ = 0;
    CxInlineVec<Segment, 16> segments_;
    CxInlineVec<Conversion, 8> conversions_;
    CxInlineVec<ArgSlot, 8> args_;
};

// Formats into the buffer; returns the number of bytes appended. On any failure nothing
// more is appended and the count so far is returned. `codeset` is used for wide
// conversions (null: the process codeset).
int GXgPrintf(CxStringBuff& out, NlqCodeset* codeset, const char* format, ...);
int GXgVPrintf(CxStringBuff& out, NlqCodeset* codeset, const char* format, va_list args);

// Formats a message text with a message's parameters (argument i is parameter i). None
// when the text does not parse, a parameter is missing or does not suit its
// conversion, or rendering fails.
std::optional<std::string> GXgFormatParms(std::string_view format, const GXgParmList& params);

}  // namespace gxlog
