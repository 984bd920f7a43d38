#include "common/text.h"

#include <cctype>

namespace scan {

namespace {
constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";
constexpr std::size_t kPercentEscapeCapacity = 1024;

std::string hexWith(std::span<const uint8_t> bytes, const char* digits) {
    std::string out;
    out.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 0x0F];
    }
    return out;
}
}  // namespace

std::string hexText(std::span<const uint8_t> bytes) { return hexWith(bytes, kUpperDigits); }
std::string hexTextLower(std::span<const uint8_t> bytes) { return hexWith(bytes, kLowerDigits); }

std::string percentEscape(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(std::min(bytes.size() * 3, kPercentEscapeCapacity));
    for (uint8_t b : bytes) {
        const bool keep = std::isprint(b) && b != '"' && b != '%' && b != '&' && b != '<';
        const std::size_t need = keep ? 1 : 3;
        if (out.size() + need > kPercentEscapeCapacity - 1) break;
        if (keep) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back('%');
            out.push_back(kUpperDigits[b >> 4]);
            out.push_back(kUpperDigits[b & 0x0F]);
        }
    }
    return out;
}

void appendXmlEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out.push_back(c);
        }
    }
}

std::string xmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendXmlEscaped(out, text);
    return out;
}

}  // namespace scan
