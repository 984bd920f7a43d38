// Finding the program's world holder from inside the simulated HBA library, so that one
// process reads its world once. Each platform's way of looking up a symbol in the program
// is in its own file, chosen by the build.
#pragma once

namespace sim {

// The holder the program exports (sansim_process_world), or null when the program
// exports none or the platform offers no look-up.
void* programProcessWorld();

}  // namespace sim
