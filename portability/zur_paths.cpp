// Path handling shared by both backends: private path copies, zur_dirname and
// zur_is_directory. The platform's own path rules live in the backends.
#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_shared.h"

namespace zur {

void copyCut(std::string_view text, char* buffer, size_t size) {
    const size_t length = std::min(text.size(), size - 1);
    if (length > 0) std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

PathCopy::PathCopy(const char* path) {
    const size_t length = std::strlen(path);
    text_.reset(new (std::nothrow) char[length + 1]);
    if (text_) std::memcpy(text_.get(), path, length + 1);
}

}  // namespace zur

extern "C" {

char* zur_dirname(char* destination, const char* source, size_t size) {
    if (destination == nullptr || size == 0) return destination;
    zur::copyCut(source == nullptr ? std::string_view{} : std::string_view{source}, destination,
                 size);
    std::string_view copy{destination};
    if (const size_t cut = copy.find_last_of("/\\"); cut != std::string_view::npos) {
        destination[cut] = '\0';
    }
    return destination;
}

bool zur_is_directory(const char* path) {
    if (path == nullptr) return false;
    zur::PathCopy copy{path};
    if (!copy) return false;
    copy.toNative();  // a rejected path is still tried, unconverted
    return zur::backend::isDirectory(copy.get());
}

}  // extern "C"
