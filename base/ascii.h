// Case-insensitive comparison of texts, byte by byte under the current locale's case
// mapping (drive letters, registry names, toolkit object names).
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace base {

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace base
