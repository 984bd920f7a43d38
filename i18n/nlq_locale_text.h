// Small text helpers shared by the locale and catalog code.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace nlq {

// Copies `text` into `buffer` (capacity `length` > 0), cut to length - 1 characters, and
// terminates it. Safe when `text` lies inside `buffer` (in-place use).
inline void copyCut(std::string_view text, char* buffer, std::size_t length)
{
    const std::size_t n = text.size() < length - 1 ? text.size() : length - 1;
    std::memmove(buffer, text.data(), n);
    buffer[n] = '\0';
}

// Character classes of the runtime library, safe for bytes above 0x7F.
inline bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
inline bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
inline bool isLetterOrDigit(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
inline bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
inline char toLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
inline char toUpper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Value of an environment variable; empty when unset.
std::string_view environmentValue(const char* variable);

}  // namespace nlq
