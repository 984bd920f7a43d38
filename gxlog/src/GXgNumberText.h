// Number text for the printf engine: thousands grouping by the current locale, and the
// digits of floating-point conversions.
#pragma once

#include <string>
#include <string_view>

namespace gxlog {

// The digits with the locale's thousands separator inserted according to the locale's
// grouping (LC_NUMERIC). Unchanged when the locale has no separator or no grouping.
std::string groupIntegerDigits(std::string_view digits);

// The locale's decimal point ("." when it has none).
std::string_view localeDecimalPoint();

struct FloatStyle {
    char conversion;  // e E f F g G
    int precision;    // negative: the default of 6
    bool alternate;   // '#': keep the point (and for g the trailing zeros)
    bool grouping;    // '\'': group the integer digits (f F g G)
};

// The text of a finite, non-negative value, without sign or padding. Built from at most
// 16 significant digits of the platform's decimal conversion; digits past the 16th are
// zeros. f and F round half up at the last printed digit; e, E, g and G take their last
// digit from the platform's correctly rounded conversion. False when memory runs out.
bool formatFloatBody(double value, const FloatStyle& style, std::string& body);

}  // namespace gxlog
