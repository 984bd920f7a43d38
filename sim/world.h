// The simulated world: one host and its SAN, described by the JSON file named by the
// environment variable SANSIM_WORLD and checked against the world schema (docs/).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace sim {

// A world file larger than this is refused unread.
inline constexpr std::uintmax_t kMaxWorldFileBytes = 256u << 20;

struct WorldLoadResult {
    std::optional<nlohmann::json> world;  // set when the file was read and is valid
    std::string error;                    // "<path>: <place>: <reason>" otherwise
};

// Reads and checks one world file. Only a regular file of at most kMaxWorldFileBytes is
// read (a device, a pipe or a folder is refused without being opened). Never throws.
WorldLoadResult loadWorldFile(const std::string& path);
// Checks a world given as text; path only names it in the error.
WorldLoadResult parseWorld(const std::string& path, const std::string& text);

// The world of SANSIM_WORLD, read once per process: the program and the simulated HBA
// library it loads share one copy. Null when the variable is unset or empty, or when the
// file cannot be read or does not match the schema; in the last two cases the problem is
// reported once per process on standard error. A target's units are packed in it (see
// world_reader.h: unpacked() reads one).
const nlohmann::json* world();

// True when SANSIM_WORLD names a world that could not be used (already reported).
bool worldUnusable();

// Reads SANSIM_WORLD again when it names another file than the world held, or the file
// has changed since (tests change the world between cases); otherwise keeps the world
// held, so that a program and its HBA library read one world once.
void refreshWorld();

// Forgets the world read so far, so that the next world() reads SANSIM_WORLD again.
void resetWorld();

}  // namespace sim
