// The simulated host's section of the world, shared by the simulated host services.
#pragma once

#include <nlohmann/json.hpp>

namespace platform {

// The exit status of the POSIX build when SANSIM_WORLD names a world it cannot use: the
// scan stops after the one-line report instead of describing the machine it runs on. It is
// the status of a lost document (driver/exit_status.h): no document was written.
inline constexpr int kUnusableWorldExit = 3;

// The world's "host" member; null without a world or without that member. When the world
// named cannot be used, the program exits with kUnusableWorldExit (the reason is on
// standard error already).
const nlohmann::json* simulatedHost();

}  // namespace platform
