// Registry paths, walked key by key by the simulated registry and by the recording of the
// real one.
#include "platform/host_storage.h"

namespace platform {

std::vector<std::string_view> registryKeyNames(std::string_view path) {
    std::vector<std::string_view> names;
    while (!path.empty()) {
        const auto cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

}  // namespace platform
