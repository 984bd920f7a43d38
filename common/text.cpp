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

void appendPercentByte(std::string& out, uint8_t b) {
    const char escape[3] = {'%', kUpperDigits[b >> 4], kUpperDigits[b & 0x0F]};
    out.append(escape, 3);
}

// Length of the well-formed UTF-8 sequence starting at text[at] (1 to 4), or 0 when the
// byte there does not start one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length;
    uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

// U+FFFE and U+FFFF are well-formed UTF-8 but no XML character.
bool isNonCharacter(std::string_view text, std::size_t at) {
    return static_cast<uint8_t>(text[at]) == 0xEF && static_cast<uint8_t>(text[at + 1]) == 0xBF &&
           static_cast<uint8_t>(text[at + 2]) >= 0xBE;
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
        if (keep) out.push_back(static_cast<char>(b));
        else appendPercentByte(out, b);
    }
    return out;
}

void appendXmlEscaped(std::string& out, std::string_view text) {
    // Runs of bytes that need nothing are appended whole.
    std::size_t plain = 0;
    std::size_t at = 0;
    const auto flush = [&] { out.append(text.data() + plain, at - plain); };
    while (at < text.size()) {
        const auto b = static_cast<uint8_t>(text[at]);
        const char* entity = nullptr;
        switch (b) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: break;
        }
        if (entity) {
            flush();
            out += entity;
            plain = ++at;
            continue;
        }
        if (b >= 0x20 && b < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = b < 0x20 ? 0 : utf8SequenceLength(text, at);
        if (length == 0 || (length == 3 && isNonCharacter(text, at))) {
            // One byte at a time: the next may start a good sequence.
            flush();
            appendPercentByte(out, b);
            plain = ++at;
            continue;
        }
        at += length;
    }
    flush();
}

std::string xmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendXmlEscaped(out, text);
    return out;
}

std::size_t characterBoundary(std::string_view text, std::size_t limit) {
    if (limit >= text.size()) return text.size();
    // Step back over at most three continuation bytes to the lead byte of the character
    // that limit falls in; cut before it when its sequence is well-formed and crosses limit.
    std::size_t start = limit;
    while (start > 0 && limit - start < 3 && (static_cast<uint8_t>(text[start]) & 0xC0) == 0x80) --start;
    if (start == limit) return limit;
    const std::size_t length = utf8SequenceLength(text, start);
    return length != 0 && start + length > limit ? start : limit;
}

}  // namespace scan
