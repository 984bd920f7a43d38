// What a generated world holds, decided before any JSON is written: the adapters, each
// adapter's targets in discovered-port order, and the logical units behind them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/worldgen/rng.h"
#include "tools/worldgen/twists.h"

namespace worldgen {

struct Options {
    uint64_t seed = 1;
    // Sized worlds: the number of logical units the scan probes (an array seen through two
    // adapters counts twice), the adapters (0: 2 below 4096 units, else 8), the units per
    // array path (at most 256, what one REPORT LUNS answer lists) and the SAN disks the host
    // sees (0: one per 64 units, at most 256).
    uint32_t luns = 1000;
    uint32_t adapters = 0;
    uint32_t lunsPerTarget = 256;
    uint32_t disks = 0;
    // A varied world: a small SAN shaped by the seed, with the forced twists or, when none
    // is forced, a few drawn at random.
    bool varied = false;
    TwistSet forced;
    // The hba member's "latency", written as given (kind -> "200" or "100-300" µs).
    std::vector<std::pair<std::string, std::string>> latency;
};

enum class TargetKind : uint8_t { ArrayPath, Tape, Enclosure };

struct TargetPlan {
    TargetKind kind = TargetKind::ArrayPath;
    uint32_t array = 0;  // arrays and tape libraries are numbered across the world
    uint8_t path = 0;    // 0 or 1: the array controller this port belongs to
    uint32_t units = 0;
};

struct AdapterPlan {
    std::vector<TargetPlan> targets;
};

// A logical unit's address as the host's SCSI port driver shows it.
struct UnitAddress {
    uint32_t adapter = 0, target = 0, lun = 0;
};

struct Plan {
    std::vector<AdapterPlan> adapters;
    uint32_t arrays = 0;
    uint32_t tapes = 0;
    uint32_t luns = 0;                // logical units over all targets
    std::vector<UnitAddress> disks;   // SAN units the host has as disks, in disk order
};

// Lays out a world; an empty error when it fits the scanner's limits (32 adapters, 512
// targets per adapter).
Plan planWorld(const Options& options, Rng& rng, std::string& error);

// The SCSI port number of adapter a in the host's device names ("\\.\Scsi<n>:"); ports 0
// and 1 are the host's own disk and CD-ROM controllers.
inline uint32_t scsiPortOf(uint32_t adapter) { return adapter + 2; }

}  // namespace worldgen
