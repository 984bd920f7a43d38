#include "sim/hba/bytes.h"

#include <algorithm>

#include "base/hex.h"

namespace sansim {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':'; }

}  // namespace

std::optional<Bytes> parseHex(std::string_view text) {
    Bytes out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return std::nullopt;
        const int hi = base::hexDigitValue(text[i]), lo = base::hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string toHex(std::span<const uint8_t> bytes) { return base::hexText(bytes); }

std::optional<Wwn> parseWwn(std::string_view text) {
    auto bytes = parseHex(text);
    if (!bytes || bytes->size() != 8) return std::nullopt;
    Wwn w{};
    std::copy(bytes->begin(), bytes->end(), w.begin());
    return w;
}

std::optional<uint32_t> parseFcId(std::string_view text) {
    auto bytes = parseHex(text);
    if (!bytes || bytes->size() != 3) return std::nullopt;
    return getBe24(*bytes, 0);
}

void putText(Bytes& b, std::size_t at, std::size_t width, std::string_view text, uint8_t pad) {
    for (std::size_t i = 0; i < width; ++i)
        b.at(at + i) = i < text.size() ? static_cast<uint8_t>(text[i]) : pad;
}

}  // namespace sansim
