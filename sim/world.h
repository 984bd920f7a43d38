// The simulated world: one host and its SAN, described by the JSON file named by the
// environment variable SANSIM_WORLD and checked against the world schema (docs/).
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace sim {

struct WorldLoadResult {
    std::optional<nlohmann::json> world;  // set when the file was read and is valid
    std::string error;                    // "<path>: <place>: <reason>" otherwise
};

// Reads and checks one world file. Never throws.
WorldLoadResult loadWorldFile(const std::string& path);
// Checks a world given as text; path only names it in the error.
WorldLoadResult parseWorld(const std::string& path, const std::string& text);

// The world of SANSIM_WORLD, read once per process. Null when the variable is unset or
// empty, or when the file cannot be read or does not match the schema; in the last two
// cases the problem is reported once on standard error and the program goes on as if no
// world had been given.
const nlohmann::json* world();

// Forgets the world read so far, so that the next world() reads SANSIM_WORLD again
// (tests change it between cases).
void resetWorld();

}  // namespace sim
