// The RNID name-server walk: when the name server answers, RNID goes to every port it
// lists rather than to each probed target.
#pragma once

#include <vector>

#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"
#include "wire/ct.h"

namespace fabric {

// Sends RNID to every port the name server lists, starting with firstEntry (the answer of
// the name-server probe) and following the next-entry chain until it comes back to the
// first address, and returns the good answers, named, in walk order: each one is merged
// into the adapter's list with addRNIDToList, in that order. The walk also ends when a
// next-entry request fails or returns an address already visited, so a server whose
// chain never closes cannot hold the scan. Reads no list, so it may run beside other work
// of the adapter.
//
// With a concurrency above 1 the chain of entries is read first and then up to that many
// entries are identified at once: the same requests, in another order.
std::vector<hba::NodeIdentification> walkNameServerWithRnid(const hba::HbaApi& api, const hba::AdapterEntry& adapter,
                                                            const wire::NameServerPortObject& firstEntry,
                                                            unsigned concurrency = 1);

}  // namespace fabric
