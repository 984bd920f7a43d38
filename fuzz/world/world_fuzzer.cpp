// World files are user input: any bytes must either be refused with a message or give a
// world that matches the schema.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const sim::WorldLoadResult r = sim::parseWorld("fuzz.json", text);
    if (!r.world && r.error.empty()) __builtin_trap();
    return 0;
}
