#include "tools/worldgen/world_plan.h"

#include <algorithm>

namespace worldgen {

namespace {

constexpr uint32_t kMaxAdapters = 32;
constexpr uint32_t kMaxTargets = 512;
constexpr uint32_t kMaxUnitsPerTarget = 256;

void addArray(Plan& plan, uint32_t adapter, uint8_t path, uint32_t units) {
    plan.adapters[adapter].targets.push_back({TargetKind::ArrayPath, plan.arrays, path, units});
    plan.luns += units;
}

void planSized(const Options& o, Plan& plan) {
    const uint32_t adapterCount = o.adapters ? o.adapters : (o.luns < 4096 ? 2 : 8);
    const uint32_t perPath = std::clamp<uint32_t>(o.lunsPerTarget, 1, kMaxUnitsPerTarget);
    plan.adapters.resize(adapterCount);

    // Every adapter reaches a tape library (drive and changer) and an enclosure when the
    // size leaves room for them; arrays take the rest.
    const bool extras = o.luns >= 6 * adapterCount;
    if (extras) {
        for (uint32_t a = 0; a < adapterCount; ++a) {
            plan.adapters[a].targets.push_back({TargetKind::Tape, plan.tapes++, 0, 2});
            plan.adapters[a].targets.push_back({TargetKind::Enclosure, a, 0, 1});
            plan.luns += 3;
        }
    }
    const uint32_t pairs = adapterCount / 2;
    uint32_t left = o.luns - plan.luns;
    while (left > 0) {
        if (pairs > 0 && left >= 2) {
            // Seen through both adapters of a pair, by one controller each.
            const uint32_t pair = plan.arrays % pairs;
            const uint32_t units = std::min(perPath, left / 2);
            addArray(plan, 2 * pair, 0, units);
            addArray(plan, 2 * pair + 1, 1, units);
            left -= 2 * units;
        } else {
            const uint32_t units = std::min(perPath, left);
            addArray(plan, plan.arrays % adapterCount, 0, units);
            left -= units;
        }
        ++plan.arrays;
    }
}

void planVaried(Rng& rng, Plan& plan) {
    const uint32_t adapterCount = rng.between(1, 3);
    plan.adapters.resize(adapterCount);
    for (uint32_t a = 0; a < adapterCount; ++a) {
        const uint32_t targets = rng.between(1, 4);
        for (uint32_t t = 0; t < targets; ++t) {
            // The first target is an array, so that every unit and disk twist has a place.
            const uint32_t pick = a == 0 && t == 0 ? 0 : rng.below(10);
            if (pick < 6) {
                const uint32_t units = rng.between(1, 6);
                addArray(plan, a, 0, units);
                if (a + 1 < adapterCount && rng.oneIn(2)) addArray(plan, a + 1, 1, units);
                ++plan.arrays;
            } else if (pick < 8) {
                plan.adapters[a].targets.push_back({TargetKind::Tape, plan.tapes++, 0, 2});
                plan.luns += 2;
            } else {
                plan.adapters[a].targets.push_back({TargetKind::Enclosure, a, 0, 1});
                plan.luns += 1;
            }
        }
    }
}

// The host's SAN disks: units of arrays' first paths, spread evenly over them.
void placeDisks(const Options& o, Plan& plan) {
    std::vector<UnitAddress> candidates;
    for (uint32_t a = 0; a < plan.adapters.size(); ++a) {
        const auto& targets = plan.adapters[a].targets;
        for (uint32_t t = 0; t < targets.size(); ++t)
            if (targets[t].kind == TargetKind::ArrayPath && targets[t].path == 0)
                for (uint32_t k = 0; k < targets[t].units; ++k) candidates.push_back({a, t, k});
    }
    uint32_t wanted = o.disks;
    if (wanted == 0) wanted = o.varied ? 2 : std::min<uint32_t>(256, plan.luns / 64 + 1);
    wanted = std::min<uint32_t>(wanted, static_cast<uint32_t>(candidates.size()));
    if (wanted == 0) return;
    const std::size_t step = candidates.size() / wanted;
    for (uint32_t i = 0; i < wanted; ++i) plan.disks.push_back(candidates[i * step]);
}

}  // namespace

Plan planWorld(const Options& options, Rng& rng, std::string& error) {
    Plan plan;
    error.clear();
    if (options.varied)
        planVaried(rng, plan);
    else
        planSized(options, plan);
    if (plan.adapters.size() > kMaxAdapters) error = "more than 32 adapters";
    for (const auto& a : plan.adapters)
        if (a.targets.size() > kMaxTargets)
            error = "more than 512 targets on one adapter: give more adapters or more units per target";
    placeDisks(options, plan);
    return plan;
}

}  // namespace worldgen
