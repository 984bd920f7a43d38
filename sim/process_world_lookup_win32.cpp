#include "sim/process_world_lookup.h"

namespace sim {

// A DLL cannot see the program's exports by name here: the library keeps its own holder.
void* programProcessWorld() { return nullptr; }

}  // namespace sim
