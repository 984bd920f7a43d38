// The RNID name-server walk: when the name server answers, RNID goes to every port it
// lists rather than to each probed target.
#pragma once

#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"
#include "wire/ct.h"

namespace fabric {

// Sends RNID to every port the name server lists, starting with firstEntry (the answer of
// the name-server probe) and following the next-entry chain until it comes back to the
// first address, and merges the good answers into record's list. The walk also ends when
// a next-entry request fails or returns an address already visited, so a server whose
// chain never closes cannot hold the scan.
void walkNameServerWithRnid(const hba::HbaApi& api, const hba::AdapterEntry& adapter,
                            const wire::NameServerPortObject& firstEntry, hba::DiscoveredAdapter& record);

}  // namespace fabric
