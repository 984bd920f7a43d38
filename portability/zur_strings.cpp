// Null-tolerant forms of the standard memory and string functions.
#include <cstdlib>
#include <cstring>

#include "portability/zur.h"

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int sign(int difference) { return (difference > 0) - (difference < 0); }

// Compares at most limit bytes, as unsigned values, optionally folding ASCII case.
int compareBytes(const char* a, const char* b, size_t limit, bool foldCase) {
    for (size_t i = 0; i < limit; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (foldCase) {
            x = foldAscii(x);
            y = foldAscii(y);
        }
        if (x != y) return sign(static_cast<int>(x) - static_cast<int>(y));
        if (x == '\0') return 0;
    }
    return 0;
}

constexpr size_t kUnlimited = static_cast<size_t>(-1);

}  // namespace

extern "C" {

void* zur_malloc(size_t size) { return size == 0 ? nullptr : std::malloc(size); }

void* zur_realloc(void* block, size_t size) {
    return size == 0 ? nullptr : std::realloc(block, size);
}

// The block's address is handed back as a value for callers that test it; the block itself
// is gone, which is exactly what the compiler would otherwise warn about.
// (The warning exists in GCC only; clang builds the fuzz targets.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
void* zur_free(void* block) {
    std::free(block);
    return block;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

char* zur_strdup(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(size));
    if (copy != nullptr) std::memcpy(copy, text, size);
    return copy;
}

size_t zur_strlen(const char* text) { return text == nullptr ? 0 : std::strlen(text); }

int zur_strcmp(const char* a, const char* b) {
    if (a == nullptr) return 1;
    if (b == nullptr) return -1;
    return compareBytes(a, b, kUnlimited, false);
}

int zur_strncmp(const char* a, const char* b, size_t n) {
    if (a == nullptr) return 1;
    if (b == nullptr) return -1;
    return std::strncmp(a, b, n);
}

int zur_stricmp(const char* a, const char* b) {
    if (a == nullptr) return 1;
    if (b == nullptr) return -1;
    return compareBytes(a, b, kUnlimited, true);
}

int zur_strnicmp(const char* a, const char* b, size_t n) {
    if (a == nullptr) return 1;
    if (b == nullptr) return -1;
    return compareBytes(a, b, n, true);
}

char* zur_strncpy(char* destination, const char* source, size_t n) {
    if (destination == nullptr) return nullptr;
    if (source == nullptr) {
        if (n > 0) destination[0] = '\0';
        return destination;
    }
    return std::strncpy(destination, source, n);
}

char* zur_strncat(char* destination, const char* source, size_t n) {
    if (destination == nullptr) return nullptr;
    if (source == nullptr) return destination;
    return std::strncat(destination, source, n);
}

char* zur_strchr(const char* text, int c) {
    return text == nullptr ? nullptr : const_cast<char*>(std::strchr(text, c));
}

char* zur_strrchr(const char* text, int c) {
    return text == nullptr ? nullptr : const_cast<char*>(std::strrchr(text, c));
}

char* zur_strstr(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr) return nullptr;
    return const_cast<char*>(std::strstr(text, pattern));
}

ptrdiff_t zur_strcspn(const char* text, const char* set) {
    if (text == nullptr) return -1;
    if (set == nullptr) return static_cast<ptrdiff_t>(std::strlen(text));
    return static_cast<ptrdiff_t>(std::strcspn(text, set));
}

ptrdiff_t zur_strspn(const char* text, const char* set) {
    if (text == nullptr) return -1;
    if (set == nullptr) return 0;
    return static_cast<ptrdiff_t>(std::strspn(text, set));
}

}  // extern "C"
