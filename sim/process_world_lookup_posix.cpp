#include "sim/process_world_lookup.h"

#include <dlfcn.h>

namespace sim {

void* programProcessWorld() {
    void* found = dlsym(RTLD_DEFAULT, "sansim_process_world");
    return found ? reinterpret_cast<void* (*)()>(found)() : nullptr;
}

}  // namespace sim
