#include "gxlog/src/GXgPrintf.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgNumberText.h"

namespace gxlog {

// ---------------------------------------------------------------------------------
// Parsing

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at `p` (first digit already checked). False when it exceeds
// `limit`.
bool readNumber(std::string_view s, std::size_t& p, int limit, int& value) {
    long long v = 0;
    while (p < s.size() && isDigit(s[p])) {
        v = v * 10 + (s[p] - '0');
        if (v > limit) return false;
        ++p;
    }
    value = static_cast<int>(v);
    return true;
}

// "N$" at `p`: N a positive number followed by '$'. Leaves p alone when absent.
enum class Positional { Absent, Present, Invalid };
Positional readPositional(std::string_view s, std::size_t& p, int& index) {
    if (p >= s.size() || s[p] < '1' || s[p] > '9') return Positional::Absent;
    std::size_t q = p;
    while (q < s.size() && isDigit(s[q])) ++q;
    if (q >= s.size() || s[q] != '$') return Positional::Absent;
    int n = 0;
    std::size_t r = p;
    if (!readNumber(s, r, GXgFormat::kMaxArguments, n)) return Positional::Invalid;
    index = n - 1;
    p = q + 1;
    return Positional::Present;
}

LengthMod readLength(std::string_view s, std::size_t& p) {
    auto at = [&](std::size_t i) { return p + i < s.size() ? s[p + i] : '\0'; };
    switch (at(0)) {
        case 'h':
            if (at(1) == 'h') { p += 2; return LengthMod::hh; }
            p += 1; return LengthMod::h;
        case 'l':
            if (at(1) == 'l') { p += 2; return LengthMod::ll; }
            p += 1; return LengthMod::l;
        case 'L': p += 1; return LengthMod::L;
        case 'I':
            if (at(1) == '6' && at(2) == '4') { p += 3; return LengthMod::I64; }
            return LengthMod::None;
        case 'j': p += 1; return LengthMod::j;
        case 'q': p += 1; return LengthMod::q;
        case 't': p += 1; return LengthMod::t;
        case 'z':
        case 'Z': p += 1; return LengthMod::z;
        default: return LengthMod::None;
    }
}

bool isWide64(LengthMod m) {
    return m == LengthMod::ll || m == LengthMod::I64 || m == LengthMod::q || m == LengthMod::j ||
           m == LengthMod::L;
}

// The category of a conversion's value; Unused when the conversion character is unknown.
ArgCategory categoryOf(char conv, LengthMod m) {
    switch (conv) {
        case 'd':
        case 'i':
            if (m == LengthMod::hh) return ArgCategory::SignedChar;
            if (m == LengthMod::h) return ArgCategory::SignedShort;
            if (m == LengthMod::l) return ArgCategory::SignedLong;
            if (isWide64(m)) return ArgCategory::Signed64;
            if (m == LengthMod::z) return ArgCategory::Size;
            if (m == LengthMod::t) return ArgCategory::PtrDiff;
            return ArgCategory::SignedInt;
        case 'o':
        case 'u':
        case 'x':
        case 'X':
            if (m == LengthMod::hh) return ArgCategory::UnsignedChar;
            if (m == LengthMod::h) return ArgCategory::UnsignedShort;
            if (m == LengthMod::l) return ArgCategory::UnsignedLong;
            if (isWide64(m)) return ArgCategory::Unsigned64;
            if (m == LengthMod::z) return ArgCategory::Size;
            if (m == LengthMod::t) return ArgCategory::PtrDiff;
            return ArgCategory::UnsignedInt;
        case 'a': case 'e': case 'f': case 'g':
        case 'A': case 'E': case 'F': case 'G':
            return m == LengthMod::L ? ArgCategory::LongDouble : ArgCategory::Double;
        case 'c': return m == LengthMod::l ? ArgCategory::WideChar : ArgCategory::SignedInt;
        case 'C': return ArgCategory::WideChar;
        case 's': return m == LengthMod::l ? ArgCategory::WideString : ArgCategory::String;
        case 'S': return ArgCategory::WideString;
        case 'p': return ArgCategory::Pointer;
        case 'n': return ArgCategory::Count;
        default: return ArgCategory::Unused;
    }
}

}  // namespace

GXgFormat::GXgFormat(std::string_view text) : text_(text) { ok_ = parse(); }

int GXgFormat::useArgument(int index, ArgCategory category) {
    if (static_cast<std::size_t>(index) >= args_.size()) args_.resize(index + 1);
    args_[index].category = category;
    return index;
}

bool GXgFormat::parse() {
    const std::string_view s = text_;
    // Formats are bounded so that segment offsets fit their 32-bit fields.
    if (s.size() > UINT32_MAX / 2) return false;
    std::size_t pos = 0;
    int counter = 0;  // the sequential counter, shared by every conversion
    while (pos < s.size()) {
        if (s[pos] != '%') {
            std::size_t next = s.find('%', pos);
            if (next == std::string_view::npos) next = s.size();
            segments_.push_back({false, static_cast<uint32_t>(pos), static_cast<uint32_t>(next), 0});
            pos = next;
            continue;
        }
        failOffset_ = pos;
        if (pos + 1 < s.size() && s[pos + 1] == '%') {
            segments_.push_back({false, static_cast<uint32_t>(pos + 1), static_cast<uint32_t>(pos + 2), 0});
            pos += 2;
            continue;
        }
        Conversion c;
        std::size_t p = pos + 1;
        int valueIndex = -1;
        if (readPositional(s, p, valueIndex) == Positional::Invalid) return false;

        for (; p < s.size(); ++p) {
            const char f = s[p];
            if (f == '-') c.flags |= kFlagLeft;
            else if (f == '0') c.flags |= kFlagZero;
            else if (f == '+') c.flags |= kFlagPlus;
            else if (f == ' ') c.flags |= kFlagSpace;
            else if (f == '#') c.flags |= kFlagAlt;
            else if (f == '\'') c.flags |= kFlagGrouping;
            else break;
        }

        // Width: '*N$', '*' or a positive number.
        int widthIndex = Conversion::kNone;
        bool widthSequential = false;
        if (p < s.size() && s[p] == '*') {
            ++p;
            const Positional pw = readPositional(s, p, widthIndex);
            if (pw == Positional::Invalid) return false;
            widthSequential = pw == Positional::Absent;
        } else if (p < s.size() && s[p] >= '1' && s[p] <= '9') {
            if (!readNumber(s, p, kMaxWidth, c.width)) return false;
        }
        if (widthSequential) widthIndex = counter++;

        // Precision: '.' then '*N$', '*' or a number starting with 1-9; '.' alone is none.
        int precisionIndex = Conversion::kNone;
        if (p < s.size() && s[p] == '.') {
            ++p;
            if (p < s.size() && s[p] == '*') {
                ++p;
                const Positional pp = readPositional(s, p, precisionIndex);
                if (pp == Positional::Invalid) return false;
                if (pp == Positional::Absent) precisionIndex = counter++;
            } else if (p < s.size() && s[p] >= '1' && s[p] <= '9') {
                if (!readNumber(s, p, kMaxWidth, c.precision)) return false;
            }
        }

        c.length = readLength(s, p);
        if (p >= s.size()) return false;  // a conversion without its character
        c.conversion = s[p];
        c.category = categoryOf(c.conversion, c.length);
        if (c.category == ArgCategory::Unused) return false;
        ++p;

        if (valueIndex < 0) {
            if (counter >= kMaxArguments) return false;
            valueIndex = counter++;
        }
        if (widthIndex >= kMaxArguments || precisionIndex >= kMaxArguments) return false;
        if (widthIndex != Conversion::kNone) c.widthArg = useArgument(widthIndex, ArgCategory::SignedInt);
        if (precisionIndex != Conversion::kNone)
            c.precisionArg = useArgument(precisionIndex, ArgCategory::SignedInt);
        c.valueArg = useArgument(valueIndex, c.category);
        c.bare = c.flags == 0 && c.width == Conversion::kNone && c.widthArg == Conversion::kNone &&
                 c.precision == Conversion::kNone && c.precisionArg == Conversion::kNone;

        segments_.push_back({true, 0, 0, static_cast<uint32_t>(conversions_.size())});
        conversions_.push_back(c);
        pos = p;
    }
    failOffset_ = s.size();
    return true;
}

// ---------------------------------------------------------------------------------
// Binding

bool GXgFormat::bind(va_list ap) {
    for (auto& slot : args_) {
        ArgValue& v = slot.value;
        v.kind = ArgValue::Kind::Integer;
        switch (slot.category) {
            case ArgCategory::Unused: return false;  // a gap: the list cannot be walked
            case ArgCategory::SignedInt:
            case ArgCategory::SignedShort:
            case ArgCategory::SignedChar:
                v.bits = static_cast<uint64_t>(static_cast<int64_t>(va_arg(ap, int)));
                break;
            case ArgCategory::SignedLong:
                v.bits = static_cast<uint64_t>(static_cast<int64_t>(va_arg(ap, long)));
                break;
            case ArgCategory::Signed64:
                v.bits = static_cast<uint64_t>(va_arg(ap, long long));
                break;
            case ArgCategory::UnsignedInt:
            case ArgCategory::UnsignedShort:
            case ArgCategory::UnsignedChar:
                v.bits = va_arg(ap, unsigned int);
                break;
            case ArgCategory::UnsignedLong: v.bits = va_arg(ap, unsigned long); break;
            case ArgCategory::Unsigned64: v.bits = va_arg(ap, unsigned long long); break;
            case ArgCategory::Size: v.bits = va_arg(ap, std::size_t); break;
            case ArgCategory::PtrDiff:
                v.bits = static_cast<uint64_t>(static_cast<int64_t>(va_arg(ap, std::ptrdiff_t)));
                break;
            case ArgCategory::WideChar:
                if constexpr (sizeof(std::wint_t) < sizeof(int)) {
                    v.bits = static_cast<std::wint_t>(va_arg(ap, int));
                } else {
                    v.bits = va_arg(ap, std::wint_t);
                }
                break;
            case ArgCategory::Double:
                v.kind = ArgValue::Kind::Floating;
                v.real = va_arg(ap, double);
                break;
            case ArgCategory::LongDouble:
                v.kind = ArgValue::Kind::Floating;
                v.real = static_cast<double>(va_arg(ap, long double));
                break;
            case ArgCategory::Pointer:
            case ArgCategory::String:
            case ArgCategory::WideString:
            case ArgCategory::Count:
                v.kind = ArgValue::Kind::Address;
                v.address = va_arg(ap, const void*);
                break;
        }
    }
    return true;
}

bool GXgFormat::bind(const GXgParmList& params) {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i].category == ArgCategory::Unused) continue;
        if (i >= params.size()) return false;
        const GXgParm& p = params[i];
        ArgValue& v = args_[i].value;
        v = ArgValue{};
        switch (p.type) {
            case GXG_PARM_BOOLEAN:
                v.kind = ArgValue::Kind::Integer;
                v.bits = p.value.b ? 1 : 0;
                break;
            case GXG_PARM_INT:
            case GXG_PARM_LONG:
                v.kind = ArgValue::Kind::Integer;
                v.bits = static_cast<uint64_t>(static_cast<int64_t>(p.value.i));
                break;
            case GXG_PARM_CHAR:
                v.kind = ArgValue::Kind::Integer;
                v.bits = static_cast<unsigned char>(p.value.c);
                break;
            case GXG_PARM_FLOAT:
                v.kind = ArgValue::Kind::Floating;
                v.real = p.value.f;
                break;
            case GXG_PARM_DOUBLE:
                v.kind = ArgValue::Kind::Floating;
                v.real = p.value.d;
                break;
            case GXG_PARM_STRING:
                // A narrow text: %s takes it, the wide conversions must not.
                v.kind = ArgValue::Kind::Address;
                v.address = p.textData();
                v.narrowText = true;
                break;
            default: return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------
// Rendering

namespace {

// Rendering writes into a CxStringBuff (which reports running out of memory) or
// straight into a std::string line; both take texts and runs of one character.
struct StringSink {
    std::string& text;
    bool append(std::string_view part) {
        text.append(part);
        return true;
    }
    bool appendRepeated(char c, std::size_t count) {
        text.append(count, c);
        return true;
    }
};

// Appends prefix and body filled to the width: spaces before (or after with '-'), or
// zeros between prefix and body when zero filling applies.
template <class Sink>
bool appendFilled(Sink& out, std::string_view prefix, std::string_view body, int width,
                  bool left, bool zeroFill) {
    const std::size_t used = prefix.size() + body.size();
    const std::size_t fill = width > 0 && static_cast<std::size_t>(width) > used ? width - used : 0;
    if (fill == 0) return (prefix.empty() || out.append(prefix)) && out.append(body);
    bool ok = true;
    if (!left && !zeroFill) ok = ok && out.appendRepeated(' ', fill);
    ok = ok && out.append(prefix);
    if (!left && zeroFill) ok = ok && out.appendRepeated('0', fill);
    ok = ok && out.append(body);
    if (left) ok = ok && out.appendRepeated(' ', fill);
    return ok;
}

struct IntegerValue {
    bool negative = false;
    uint64_t magnitude = 0;
};

IntegerValue interpret(uint64_t bits, ArgCategory cat, bool signedConv) {
    auto fromSigned = [](int64_t v) {
        IntegerValue r;
        r.negative = v < 0;
        r.magnitude = r.negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        return r;
    };
    auto fromUnsigned = [](uint64_t v) { return IntegerValue{false, v}; };
    switch (cat) {
        case ArgCategory::SignedInt: return fromSigned(static_cast<int32_t>(bits));
        case ArgCategory::SignedShort: return fromSigned(static_cast<int16_t>(bits));
        case ArgCategory::SignedChar: return fromSigned(static_cast<int8_t>(bits));
        case ArgCategory::SignedLong: return fromSigned(static_cast<long>(bits));
        case ArgCategory::Signed64: return fromSigned(static_cast<int64_t>(bits));
        case ArgCategory::UnsignedInt: return fromUnsigned(static_cast<uint32_t>(bits));
        case ArgCategory::UnsignedShort: return fromUnsigned(static_cast<uint16_t>(bits));
        case ArgCategory::UnsignedChar: return fromUnsigned(static_cast<uint8_t>(bits));
        case ArgCategory::UnsignedLong: return fromUnsigned(static_cast<unsigned long>(bits));
        case ArgCategory::Size:
        case ArgCategory::PtrDiff:
            return signedConv ? fromSigned(static_cast<std::ptrdiff_t>(bits))
                              : fromUnsigned(static_cast<std::size_t>(bits));
        default: return fromUnsigned(bits);
    }
}

template <class Sink>
bool renderInteger(Sink& out, const Conversion& c, const ArgValue& v, int width, int precision) {
    uint64_t bits;
    if (v.kind == ArgValue::Kind::Integer) bits = v.bits;
    else if (v.kind == ArgValue::Kind::Address && (c.conversion == 'p' || !v.narrowText))
        bits = reinterpret_cast<uintptr_t>(v.address);
    else return false;

    const char conv = c.conversion;
    const bool signedConv = conv == 'd' || conv == 'i';
    const IntegerValue value =
        conv == 'p' ? IntegerValue{false, static_cast<uint64_t>(bits)} : interpret(bits, c.category, signedConv);
    const unsigned base = (conv == 'x' || conv == 'X' || conv == 'p') ? 16 : conv == 'o' ? 8 : 10;
    const char* digitSet = conv == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";

    // Digits are written from the end of the buffer backwards; the usual integer, with no
    // precision, '#' or grouping, is rendered from there without any string.
    char reversed[64];
    int n = 0;
    // A constant base per loop: the compiler turns the divisions into multiplications.
    auto writeDigits = [&](auto baseConstant) {
        for (uint64_t m = value.magnitude; m != 0; m /= baseConstant)
            reversed[sizeof reversed - 1 - n++] = digitSet[m % baseConstant];
    };
    if (base == 10) writeDigits(std::integral_constant<unsigned, 10>{});
    else if (base == 16) writeDigits(std::integral_constant<unsigned, 16>{});
    else writeDigits(std::integral_constant<unsigned, 8>{});
    const int minDigits = precision >= 0 ? precision : 1;
    const bool plain = n >= minDigits && !(c.flags & (kFlagAlt | kFlagGrouping));
    std::string digits;
    if (!plain) {
        if (n < minDigits) digits.assign(minDigits - n, '0');
        digits.append(reversed + sizeof reversed - n, static_cast<std::size_t>(n));
    }
    // '#' with o: at least one leading zero (also for a zero value with precision 0).
    if ((c.flags & kFlagAlt) && conv == 'o' && (digits.empty() || digits[0] != '0')) digits.insert(0, 1, '0');
    if ((c.flags & kFlagGrouping) && (conv == 'd' || conv == 'u')) digits = groupIntegerDigits(digits);
    const std::string_view body =
        plain ? std::string_view(reversed + sizeof reversed - n, static_cast<std::size_t>(n)) : std::string_view(digits);

    std::string_view prefix;
    if (signedConv) {
        if (value.negative) prefix = "-";
        else if (c.flags & kFlagPlus) prefix = "+";
        else if (c.flags & kFlagSpace) prefix = " ";
    } else if ((c.flags & kFlagAlt) && value.magnitude != 0 && !body.empty()) {
        if (conv == 'x' || conv == 'p') prefix = "0x";
        else if (conv == 'X') prefix = "0X";
    }
    const bool zeroFill = (c.flags & kFlagZero) && !(c.flags & kFlagLeft) && precision < 0;
    return appendFilled(out, prefix, body, width, c.flags & kFlagLeft, zeroFill);
}

template <class Sink>
bool renderFloat(Sink& out, const Conversion& c, const ArgValue& v, int width, int precision) {
    if (v.kind != ArgValue::Kind::Floating) return false;
    const double x = v.real;
    const bool negative = std::signbit(x);
    std::string_view prefix;
    if (negative) prefix = "-";
    else if (c.flags & kFlagPlus) prefix = "+";
    else if (c.flags & kFlagSpace) prefix = " ";

    const bool upper = std::isupper(static_cast<unsigned char>(c.conversion)) != 0;
    std::string body;
    if (std::isnan(x) || std::isinf(x)) {
        body = std::isnan(x) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        return appendFilled(out, prefix, body, width, c.flags & kFlagLeft, false);
    }
    const FloatStyle style{c.conversion, precision, (c.flags & kFlagAlt) != 0,
                           (c.flags & kFlagGrouping) != 0};
    if (!formatFloatBody(std::fabs(x), style, body)) return false;
    const bool zeroFill = (c.flags & kFlagZero) && !(c.flags & kFlagLeft);
    return appendFilled(out, prefix, body, width, c.flags & kFlagLeft, zeroFill);
}

// Wide text as UTF-16 units: wchar_t is UTF-16 on Windows and UTF-32 elsewhere.
bool wideToUnits(const wchar_t* text, std::size_t count, std::u16string& units) {
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t cp = static_cast<uint32_t>(text[i]);
        if (cp <= 0xFFFF) {
            units += static_cast<char16_t>(cp);
        } else if (cp <= 0x10FFFF) {
            units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            return false;
        }
    }
    return true;
}

// One wide character (%lc, %C) in the output codeset, padded to width.
template <class Sink>
bool appendWideChar(Sink& out, const ArgValue& v, NlqCodeset* codeset, int width, bool left) {
    if (v.kind != ArgValue::Kind::Integer) return false;
    const wchar_t wc = static_cast<wchar_t>(static_cast<uint32_t>(v.bits));
    std::u16string units;
    std::string text;
    if (!wideToUnits(&wc, 1, units)) return false;
    if (!i18n::appendWide(codeset, units, std::nullopt, text)) return false;
    return appendFilled(out, {}, text, width, left, false);
}

}  // namespace

bool GXgFormat::render(CxStringBuff& out, NlqCodeset* codeset) const { return renderInto(out, codeset); }

bool GXgFormat::render(std::string& out, NlqCodeset* codeset) const {
    StringSink sink{out};
    return renderInto(sink, codeset);
}

template <class Sink>
bool GXgFormat::renderInto(Sink& out, NlqCodeset* codeset) const {
    const Conversion* const conversions = conversions_.begin();
    const ArgSlot* const args = args_.begin();
    for (const Segment& seg : segments_) {
        if (!seg.isConversion) {
            if (!out.append(std::string_view(text_.data() + seg.begin, seg.end - seg.begin))) return false;
            continue;
        }
        const Conversion& c = conversions[seg.conversion];
        const ArgValue& v = args[c.valueArg].value;
        if (c.bare) {
            // The usual trace conversions: %d, %u, %x and %s alone.
            char digits[16];
            std::to_chars_result written{};
            if (v.kind == ArgValue::Kind::Integer && c.category == ArgCategory::SignedInt &&
                (c.conversion == 'd' || c.conversion == 'i')) {
                written = std::to_chars(digits, digits + sizeof digits, static_cast<int32_t>(v.bits));
            } else if (v.kind == ArgValue::Kind::Integer && c.category == ArgCategory::UnsignedInt &&
                       (c.conversion == 'u' || c.conversion == 'x')) {
                written = std::to_chars(digits, digits + sizeof digits, static_cast<uint32_t>(v.bits),
                                        c.conversion == 'x' ? 16 : 10);
            } else if (v.kind == ArgValue::Kind::Address && c.category == ArgCategory::String) {
                const char* text = static_cast<const char*>(v.address);
                if (text && !out.append(std::string_view(text))) return false;
                continue;
            }
            if (written.ptr) {
                if (!out.append(std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)))) return false;
                continue;
            }
        }
        if (!renderConversion(out, c, v, codeset)) return false;
    }
    return true;
}

// Kept out of the loop above, so that the loop over literals and bare conversions (a
// trace line's usual content) stays small enough to hold its state in registers.
template <class Sink>
bool GXgFormat::renderConversion(Sink& out, const Conversion& c, const ArgValue& v, NlqCodeset* codeset) const {
    auto intArg = [&](int index, int& result) {
        const ArgValue& arg = args_[index].value;
        if (arg.kind != ArgValue::Kind::Integer) return false;
        result = static_cast<int32_t>(arg.bits);
        return true;
    };
    int width = c.width;
    int precision = c.precision;
    if (c.widthArg != Conversion::kNone && !intArg(c.widthArg, width)) return false;
    if (c.precisionArg != Conversion::kNone && !intArg(c.precisionArg, precision)) return false;
    if (width < 0) width = Conversion::kNone;
    if (precision < 0) precision = Conversion::kNone;
    if (width > kMaxWidth || precision > kMaxWidth) return false;

    const bool left = c.flags & kFlagLeft;
    bool ok = false;
    switch (c.conversion) {
        case 'd': case 'i': case 'o': case 'u': case 'x': case 'X': case 'p':
            ok = renderInteger(out, c, v, width, precision);
            break;
        case 'a': case 'A': {
            // Hexadecimal floating point: the platform's own rendering.
            if (v.kind != ArgValue::Kind::Floating) return false;
            char hexFormat[16];
            std::snprintf(hexFormat, sizeof hexFormat, "%%%s%s%s%s%s.*%c", left ? "-" : "",
                          (c.flags & kFlagZero) ? "0" : "", (c.flags & kFlagPlus) ? "+" : "",
                          (c.flags & kFlagSpace) ? " " : "", (c.flags & kFlagAlt) ? "#" : "",
                          c.conversion);
            char buf[128];
            const int n = precision < 0 ? std::snprintf(buf, sizeof buf, hexFormat, -1, v.real)
                                        : std::snprintf(buf, sizeof buf, hexFormat, precision > 40 ? 40 : precision, v.real);
            if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) return false;
            ok = appendFilled(out, {}, std::string_view(buf, n), width, left, false);
            break;
        }
        case 'e': case 'E': case 'f': case 'F': case 'g': case 'G':
            ok = renderFloat(out, c, v, width, precision);
            break;
        case 'c':
            if (c.category == ArgCategory::WideChar) {
                ok = appendWideChar(out, v, codeset, width, left);
            } else {
                if (v.kind != ArgValue::Kind::Integer) return false;
                const char ch = static_cast<char>(v.bits & 0xFF);
                ok = appendFilled(out, {}, std::string_view(&ch, 1), width, left, false);
            }
            break;
        case 'C':
            ok = appendWideChar(out, v, codeset, width, left);
            break;
        case 's':
        case 'S': {
            if (v.kind != ArgValue::Kind::Address) return false;
            if (c.category == ArgCategory::String) {
                const char* s = static_cast<const char*>(v.address);
                std::size_t len = 0;
                if (s) {
                    if (precision >= 0) {
                        // Never reads past the precision: the text need not be terminated.
                        while (len < static_cast<std::size_t>(precision) && s[len] != '\0') ++len;
                    } else {
                        len = std::strlen(s);
                    }
                }
                ok = appendFilled(out, {}, std::string_view(s ? s : "", len), width, left, false);
            } else {
                if (v.narrowText) return false;  // a message's string parameter
                const wchar_t* ws = static_cast<const wchar_t*>(v.address);
                std::string text;
                if (ws) {
                    std::u16string units;
                    if (!wideToUnits(ws, std::wcslen(ws), units)) return false;
                    std::optional<std::size_t> limit;
                    if (precision >= 0) limit = static_cast<std::size_t>(precision);
                    if (!i18n::appendWide(codeset, units, limit, text)) return false;
                }
                ok = appendFilled(out, {}, text, width, left, false);
            }
            break;
        }
        default:  // 'n' and anything the parser let through
            return false;
    }
    return ok;
}

// ---------------------------------------------------------------------------------
// Entry points

int GXgVPrintf(CxStringBuff& out, NlqCodeset* codeset, const char* format, va_list args) {
    if (!format) return 0;
    const std::size_t before = out.length();
    GXgFormat parsed{std::string_view(format)};
    // A format that fails to parse still renders the text before the failing
    // conversion, with the arguments that text uses.
    if (parsed.bind(args)) parsed.render(out, codeset);
    return static_cast<int>(out.length() - before);
}

int GXgPrintf(CxStringBuff& out, NlqCodeset* codeset, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = GXgVPrintf(out, codeset, format, args);
    va_end(args);
    return n;
}

std::optional<std::string> GXgFormatParms(std::string_view format, const GXgParmList& params) {
    GXgFormat parsed{format};
    if (!parsed.ok()) return std::nullopt;
    if (!parsed.bind(params)) return std::nullopt;
    CxStringBuff out;
    if (!parsed.render(out, nullptr)) return std::nullopt;
    return out.take();
}

}  // namespace gxlog
