// Walks a SAN through the HBA library and renders every answer as text: adapters and
// their attributes, port 0, each discovered port with REPORT LUNS, the three INQUIRY
// answers per LUN and RNID, and per adapter the name server's ring and the platform list.
// Handles are not shown (the system's wrapper numbers its own).
#pragma once

#include <string>

#include "hba/hba_library.h"

namespace simtest {

std::string walkSan(const hba::HbaApi& api);

// One line of the walk: a port's attributes after what (ending in a newline), and an
// adapter's attributes.
std::string describePort(const char* what, const HBA_PORTATTRIBUTES& p);
std::string describeAttributes(const HBA_ADAPTERATTRIBUTES& a);

}  // namespace simtest
