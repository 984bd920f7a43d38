#include "sim/hba/call_log.h"

#include <cstdio>
#include <cstdlib>

#include "sim/hba/bytes.h"

namespace sansim {

CallLine::CallLine(std::string_view call) : line_(call) {}

CallLine& CallLine::number(std::string_view key, uint64_t value) {
    line_.append(" ").append(key).append("=").append(std::to_string(value));
    return *this;
}

CallLine& CallLine::hex(std::string_view key, std::span<const uint8_t> bytes) {
    line_.append(" ").append(key).append("=").append(toHex(bytes));
    return *this;
}

CallLine& CallLine::page(std::string_view key, uint32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02X", value);
    line_.append(" ").append(key).append("=").append(digits);
    return *this;
}

CallLine& CallLine::text(std::string_view key, std::string_view value) {
    line_.append(" ").append(key).append("=\"");
    for (unsigned char c : value) {
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", c);
            line_.append(esc);
        } else {
            line_.push_back(static_cast<char>(c));
        }
    }
    line_.append("\"");
    return *this;
}

CallLine& CallLine::results() {
    line_.append(" ->");
    return *this;
}

void CallLine::write() const {
    const char* path = std::getenv("SANSIM_CALL_LOG");
    if (!path || !*path) return;
    if (std::FILE* f = std::fopen(path, "ab")) {
        std::fwrite(line_.data(), 1, line_.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

}  // namespace sansim
