// Properties files of any bytes: the reader must end in success or failure without
// reading outside its buffers, and the registry it fills must stay walkable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gxlog/src/GXgReadProps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    gxlog::GXgConfigRegistry registry;
    gxlog::GXgReadPropsText(std::string_view(reinterpret_cast<const char*>(data), size), registry);
    // Apply a few names derived from the input (and their descendants) the way object
    // creation does, and ask for an inherited property.
    std::string name;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '=' || c == ':' || c == '\n' || c == '\r' || c == ' ') break;
        name += c;
    }
    for (const std::string& n : {name, name + ".child", std::string("a.b.c")}) {
        std::size_t calls = 0;
        registry.apply(n, [&](const std::string&, const std::string&) { ++calls; });
        if (auto node = registry.getNode(n.c_str())) registry.getProperty(*node, "className");
    }
    return 0;
}
