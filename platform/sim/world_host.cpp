#include "platform/sim/world_host.h"

#include <cstdio>
#include <cstdlib>

#include "sim/world.h"

namespace platform {

const nlohmann::json* simulatedHost() {
    const nlohmann::json* w = sim::world();
    if (!w) {
        if (sim::worldUnusable()) {
            std::fflush(stdout);
            std::exit(kUnusableWorldExit);
        }
        return nullptr;
    }
    auto it = w->find("host");
    return it == w->end() ? nullptr : &*it;
}

}  // namespace platform
