// Mapping of the layer's open flags onto the runtime library's.
#include <array>
#include <cstdint>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_shared.h"

namespace zur {
namespace {

struct FlagMapping {
    uint32_t layerFlag;
    int backend::RuntimeOpenFlags::*runtimeFlag;
};

// ZUR_OPEN_READ has no entry: read-only is what the runtime library does without flags.
constexpr std::array kOpenFlagMappings{
    FlagMapping{ZUR_OPEN_WRITE, &backend::RuntimeOpenFlags::writeOnly},
    FlagMapping{ZUR_OPEN_RDWR, &backend::RuntimeOpenFlags::readWrite},
    FlagMapping{ZUR_OPEN_APPEND, &backend::RuntimeOpenFlags::append},
    FlagMapping{ZUR_OPEN_CREATE, &backend::RuntimeOpenFlags::create},
    FlagMapping{ZUR_OPEN_TRUNCATE, &backend::RuntimeOpenFlags::truncate},
    FlagMapping{ZUR_OPEN_EXCLUSIVE, &backend::RuntimeOpenFlags::exclusive},
    FlagMapping{ZUR_OPEN_TEXT, &backend::RuntimeOpenFlags::text},
    FlagMapping{ZUR_OPEN_BINARY, &backend::RuntimeOpenFlags::binary},
};

}  // namespace

int runtimeOpenFlags(uint32_t layerFlags) {
    int runtime = 0;
    for (const FlagMapping& mapping : kOpenFlagMappings) {
        if ((layerFlags & mapping.layerFlag) != 0)
            runtime |= backend::kRuntimeOpenFlags.*mapping.runtimeFlag;
    }
    return runtime;
}

}  // namespace zur
