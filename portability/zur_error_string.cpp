// Texts for status records.
#include <array>
#include <cstdint>
#include <string_view>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_shared.h"

namespace {

// The layer's own error texts, for negative codes other than -4. Nothing in this program
// registers any, so every such code has the empty text.
constexpr std::array<std::string_view, 0> kOwnErrorTexts{};

std::string_view ownErrorText(uint32_t error) {
    return error < kOwnErrorTexts.size() ? kOwnErrorTexts[error] : std::string_view{};
}

}  // namespace

extern "C" {

void zur_error_string(char* buffer, int32_t size, int32_t code, uint32_t error) {
    if (buffer == nullptr || size <= 0) return;
    const auto capacity = static_cast<size_t>(size);

    if (code < 0 && code != ZUR_CODE_SYSTEM_ERROR) {
        const zur::backend::ErrorTableLock lock;
        zur::copyCut(ownErrorText(error), buffer, capacity);
    } else if (error <= ZUR_SYSTEM_ERROR_BASE) {
        zur::backend::runtimeErrorText(static_cast<int>(error), buffer, capacity);
    } else if ((error & ZUR_ERROR_NO_TEXT) != 0) {
        zur::copyCut({}, buffer, capacity);
    } else {
        zur::backend::systemErrorText(error - ZUR_SYSTEM_ERROR_BASE, buffer, capacity);
    }
}

}  // extern "C"
