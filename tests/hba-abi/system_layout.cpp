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
    facts["status.NOT_SUPPORTED"] = HBA_STATUS_ERROR_NOT_SUPPORTED;
    facts["status.ILLEGAL_INDEX"] = HBA_STATUS_ERROR_ILLEGAL_INDEX;
    facts["status.SCSI_CHECK_CONDITION"] = HBA_STATUS_SCSI_CHECK_CONDITION;
    facts["status.ELS_REJECT"] = HBA_STATUS_ERROR_ELS_REJECT;
    facts["status.TARGET_BUSY"] = HBA_STATUS_ERROR_TARGET_BUSY;
    facts["porttype.NPORT"] = HBA_PORTTYPE_NPORT;
    facts["porttype.PTP"] = HBA_PORTTYPE_PTP;
    facts["portstate.ONLINE"] = HBA_PORTSTATE_ONLINE;
    facts["wwntype.PORT_WWN"] = PORT_WWN;
    facts["entrypoints"] = sizeof(HBA_ENTRYPOINTS);
    facts["entrypointsV2"] = sizeof(HBA_ENTRYPOINTSV2);
#define SLOT(name) facts["entrypoints." #name] = offsetof(HBA_ENTRYPOINTSV2, name);
    HBA_ABI_ENTRY_POINT_SLOTS(SLOT)
#undef SLOT
    return facts;
}

}  // namespace hba_abi
