// Writes a planned world as a world file.
#pragma once

#include <cstdio>
#include <string>

#include "tools/worldgen/world_plan.h"

namespace worldgen {

struct WorldSummary {
    uint32_t adapters = 0, targets = 0, luns = 0, disks = 0;
    TwistSet applied;   // twists the world carries
    TwistSet unplaced;  // forced twists the world had no room for
};

// Plans and writes the world the options ask for to out, adapter by adapter, so that a
// large world never sits whole in memory. Returns false with error set when the options
// do not fit the scanner's limits or out fails.
bool writeWorld(const Options& options, std::FILE* out, WorldSummary& summary, std::string& error);

}  // namespace worldgen
