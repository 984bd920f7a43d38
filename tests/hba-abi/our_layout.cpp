#include <cstddef>

#include "hba/hbaapi_types.h"
#include "sim/hba/vendor_entry_points.h"
#include "tests/hba-abi/layout_facts.h"

namespace hba_abi {

LayoutFacts ourLayout() {
    LayoutFacts facts;
    HBA_ABI_FACTS(HBA_ABI_SIZE_FACT, HBA_ABI_FIELD_FACT)
    HBA_ABI_CONSTANT_FACTS
    facts["entrypoints"] = sizeof(SansimEntryPoints);
    facts["entrypointsV2"] = sizeof(SansimEntryPointsV2);
#define SLOT(name) facts["entrypoints." #name] = offsetof(SansimEntryPoints, name);
    HBA_ABI_ENTRY_POINT_SLOTS(SLOT)
#undef SLOT
    return facts;
}

}  // namespace hba_abi
