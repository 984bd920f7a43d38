// The system's SNIA header, kept away from our own declarations of the same names.
#include <cstddef>
#include <time.h>  // the system header uses struct tm without including it

#include <hbaapi.h>
#include <vendorhbaapi.h>

#include "tests/hba-abi/layout_facts.h"

namespace hba_abi {

LayoutFacts systemLayout() {
    LayoutFacts facts;
    HBA_ABI_FACTS(HBA_ABI_SIZE_FACT, HBA_ABI_FIELD_FACT)
    HBA_ABI_CONSTANT_FACTS
    facts["entrypoints"] = sizeof(HBA_ENTRYPOINTS);
    facts["entrypointsV2"] = sizeof(HBA_ENTRYPOINTSV2);
#define SLOT(name) facts["entrypoints." #name] = offsetof(HBA_ENTRYPOINTSV2, name);
    HBA_ABI_ENTRY_POINT_SLOTS(SLOT)
#undef SLOT
    return facts;
}

}  // namespace hba_abi
