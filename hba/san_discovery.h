// What one discovery pass hands on: the adapter table as the pass read it and one
// discovered-adapter record per enabled adapter, in adapter-table order. The discovery dump
// and the entity builders read it; nothing else keeps it.
#pragma once

#include <vector>

#include "hba/adapter_table.h"
#include "hba/discovered.h"

namespace hba {

struct SanDiscovery {
    AdapterTable table;
    std::vector<DiscoveredAdapter> adapters;
};

}  // namespace hba
