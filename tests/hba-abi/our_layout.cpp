#include <cstddef>

#include "hba/hbaapi_types.h"
#include "sim/hba/vendor_entry_points.h"
#include "tests/hba-abi/layout_facts.h"

namespace hba_abi {

LayoutFacts ourLayout() {
    LayoutFacts facts;
    HBA_ABI_FACTS(HBA_ABI_SIZE_FACT, HBA_ABI_FIELD_FACT)
    facts["status.NOT_SUPPORTED"] = HBA_STATUS_ERROR_NOT_SUPPORTED;
    facts["status.ILLEGAL_INDEX"] = HBA_STATUS_ERROR_ILLEGAL_INDEX;
    facts["status.SCSI_CHECK_CONDITION"] = HBA_STATUS_SCSI_CHECK_CONDITION;
    facts["status.ELS_REJECT"] = HBA_STATUS_ERROR_ELS_REJECT;
    facts["status.TARGET_BUSY"] = HBA_STATUS_ERROR_TARGET_BUSY;
    facts["porttype.NPORT"] = HBA_PORTTYPE_NPORT;
    facts["porttype.PTP"] = HBA_PORTTYPE_PTP;
    facts["portstate.ONLINE"] = HBA_PORTSTATE_ONLINE;
    facts["wwntype.PORT_WWN"] = PORT_WWN;
    facts["entrypoints"] = sizeof(SansimEntryPoints);
    facts["entrypointsV2"] = sizeof(SansimEntryPointsV2);
#define SLOT(name) facts["entrypoints." #name] = offsetof(SansimEntryPoints, name);
    HBA_ABI_ENTRY_POINT_SLOTS(SLOT)
#undef SLOT
    return facts;
}

}  // namespace hba_abi
