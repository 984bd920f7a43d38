#include "fabric/fabric_queries.h"

namespace fabric {

// Placeholder: no request is sent; the name server counts as not answering, so RNID (when
// enabled) goes to each discovered target.
int getNextNameServerEntry(const hba::HbaApi& /*api*/, HBA_HANDLE /*handle*/, const hba::PortId& /*after*/,
                           NameServerPortObject& /*entry*/) {
    return HBA_STATUS_ERROR_NOT_SUPPORTED;
}

// Placeholder: no request is sent and no platform is reported.
std::vector<hba::PlatformRecord> discoverPlatformList(const hba::HbaApi& /*api*/, HBA_HANDLE /*handle*/,
                                                      int& reasonCode) {
    reasonCode = kPlatformListFailed;
    return {};
}

}  // namespace fabric
