// Helpers the shared core of the portability layer uses in several files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "portability/zur.h"

namespace zur {

// Copies text into buffer, cut to size - 1 bytes and terminated; size must be at least 1.
void copyCut(std::string_view text, char* buffer, size_t size);

// The runtime-library flags for a set of layer open flags; other bits are dropped.
int runtimeOpenFlags(uint32_t layerFlags);

// A private, heap-allocated copy of a caller's path, so that conversion never touches the
// caller's text. Allocation does not throw: a copy that could not be made is empty (false).
class PathCopy {
public:
    explicit PathCopy(const char* path);

    explicit operator bool() const { return text_ != nullptr; }
    char* get() { return text_.get(); }

    // Converts the copy to the native form; false (copy unchanged) when the path is rejected.
    bool toNative() { return zur_native_path(text_.get()) != nullptr; }

private:
    std::unique_ptr<char[]> text_;
};

}  // namespace zur
