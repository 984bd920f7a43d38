// Any registry value (type, data, buffer size) through the text conversion, the blank
// collapsing, the quote escaping and the hash text: nothing may read outside the data or
// exceed the buffer it stands for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "inventory/disk_survey.h"
#include "inventory/disk_text.h"
#include "inventory/registry_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    platform::RegistryValue value;
    value.type = data[0] % 10;
    const std::size_t bufferSize = data[1] * 8u + 1;  // 1 to 2041
    const bool hex = data[2] & 1;
    value.data.assign(data + 3, data + size);

    std::string output = "previous  text";
    inv::registryValueText(value, output, bufferSize, hex);
    if (output.size() >= bufferSize) std::abort();
    if (output.find("  ") != std::string::npos) std::abort();

    const std::string escaped = inv::escapeQuotes(output, inv::kProductIdCapacity);
    if (escaped.size() >= inv::kProductIdCapacity) std::abort();
    const auto hash = inv::md5HexDigest(inv::diskHashText(output, 1, 2, 3, 4, 5));
    if (!hash || hash->size() != 32) std::abort();
    return 0;
}
