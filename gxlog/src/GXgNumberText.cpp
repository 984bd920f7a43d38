#include "gxlog/src/GXgNumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdio>
#include <vector>

namespace gxlog {

std::string groupIntegerDigits(std::string_view digits) {
    const lconv* lc = std::localeconv();
    if (!lc || !lc->thousands_sep || !*lc->thousands_sep || !lc->grouping || !*lc->grouping)
        return std::string(digits);
    const std::string_view sep = lc->thousands_sep;

    // Group boundaries counted from the right: each grouping byte is a group size, the
    // last one repeats, CHAR_MAX (or a non-positive size) ends the grouping.
    std::vector<std::size_t> cuts;
    std::size_t remaining = digits.size();
    const char* g = lc->grouping;
    for (;;) {
        const int size = static_cast<unsigned char>(*g) == static_cast<unsigned char>(CHAR_MAX) ? 0 : *g;
        if (size <= 0 || remaining <= static_cast<std::size_t>(size)) break;
        remaining -= size;
        cuts.push_back(remaining);
        if (g[1] != '\0') ++g;
    }
    std::string out;
    out.reserve(digits.size() + cuts.size() * sep.size());
    std::size_t from = 0;
    for (auto it = cuts.rbegin(); it != cuts.rend(); ++it) {
        out.append(digits.substr(from, *it - from));
        out.append(sep);
        from = *it;
    }
    out.append(digits.substr(from));
    return out;
}

std::string_view localeDecimalPoint() {
    const lconv* lc = std::localeconv();
    if (!lc || !lc->decimal_point || !*lc->decimal_point) return ".";
    return lc->decimal_point;
}

namespace {

constexpr int kPlatformDigits = 16;

// Significant digits of a positive value: value = d[0].d[1]d[2]... x 10^exponent.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// `count` (1 to 16) correctly rounded significant digits of a finite positive value, as
// "%.*e" gives them in the C locale; std::to_chars does the same without parsing a format.
Digits platformDigits(double value, int count) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, count - 1).ptr;
    Digits d;
    d.digits.reserve(static_cast<std::size_t>(count));
    const char* p = buf;
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.') d.digits += *p;
    }
    if (p < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, d.exponent);
    return d;
}

// Digits of the value with `count` significant digits, zeros past the 16th.
Digits significantDigits(double value, int count) {
    if (value == 0) return {std::string(count, '0'), 0};
    Digits d = platformDigits(value, std::min(count, kPlatformDigits));
    if (count > kPlatformDigits) d.digits.append(count - kPlatformDigits, '0');
    return d;
}

// Adds one unit in the last place of a digit string; true when it carried out of the
// first digit (the string then starts with a new '1').
bool incrementDigits(std::string& s) {
    for (std::size_t i = s.size(); i-- > 0;) {
        if (s[i] != '9') {
            ++s[i];
            return false;
        }
        s[i] = '0';
    }
    s.insert(0, 1, '1');
    return true;
}

// Fixed notation with `decimals` digits after the point, from 16 digits, half up.
void fixedDigits(double value, int decimals, std::string& intPart, std::string& frac) {
    std::string s;
    if (value == 0) {
        s = "0";
    } else {
        const Digits d = platformDigits(value, kPlatformDigits);
        const long long keep = static_cast<long long>(d.exponent) + 1 + decimals;
        if (keep <= 0) {
            s = (keep == 0 && d.digits[0] >= '5') ? "1" : "0";
        } else if (keep >= kPlatformDigits) {
            s = d.digits;
            s.append(static_cast<std::size_t>(keep - kPlatformDigits), '0');
        } else {
            s = d.digits.substr(0, static_cast<std::size_t>(keep));
            if (d.digits[static_cast<std::size_t>(keep)] >= '5') incrementDigits(s);
        }
    }
    // s holds the value times 10^decimals; split off the decimals.
    if (s.size() < static_cast<std::size_t>(decimals) + 1) s.insert(0, decimals + 1 - s.size(), '0');
    intPart = s.substr(0, s.size() - decimals);
    frac = s.substr(s.size() - decimals);
}

void appendExponent(std::string& body, bool upper, int exponent) {
    body += upper ? 'E' : 'e';
    body += exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) body += '0';
    body += std::to_string(magnitude);
}

void stripTrailingZeros(std::string& frac) {
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
}

}  // namespace

bool formatFloatBody(double value, const FloatStyle& style, std::string& body) {
    const char conv = static_cast<char>(std::tolower(static_cast<unsigned char>(style.conversion)));
    const bool upper = std::isupper(static_cast<unsigned char>(style.conversion)) != 0;
    const int precision = style.precision < 0 ? 6 : style.precision;
    const std::string_view point = localeDecimalPoint();
    body.clear();

    auto assemble = [&](std::string intPart, const std::string& frac, bool group) {
        if (group) intPart = groupIntegerDigits(intPart);
        body += intPart;
        if (!frac.empty() || style.alternate) body += point;
        body += frac;
    };

    if (conv == 'f') {
        std::string intPart, frac;
        fixedDigits(value, precision, intPart, frac);
        assemble(std::move(intPart), frac, style.grouping);
        return true;
    }
    if (conv == 'e') {
        const Digits d = significantDigits(value, precision + 1);
        assemble(d.digits.substr(0, 1), d.digits.substr(1), false);
        appendExponent(body, upper, d.exponent);
        return true;
    }
    // g: precision significant digits (at least 1); fixed notation when the exponent is
    // at least -4 and below the precision, else exponent notation.
    const int p = precision == 0 ? 1 : precision;
    const Digits d = significantDigits(value, p);
    const int x = d.exponent;
    if (x >= -4 && x < p) {
        std::string intPart, frac;
        if (x >= 0) {
            intPart = d.digits.substr(0, x + 1);
            frac = d.digits.substr(x + 1);
        } else {
            intPart = "0";
            frac = std::string(-x - 1, '0') + d.digits;
        }
        if (!style.alternate) stripTrailingZeros(frac);
        assemble(std::move(intPart), frac, style.grouping);
    } else {
        std::string frac = d.digits.substr(1);
        if (!style.alternate) stripTrailingZeros(frac);
        assemble(d.digits.substr(0, 1), frac, false);
        appendExponent(body, upper, x);
    }
    return true;
}

}  // namespace gxlog
