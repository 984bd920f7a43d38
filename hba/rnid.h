// RNID identification: what kind of node sits behind a port and where its management
// interface is. Sent only when the scan's RNID switch is on, either to each discovered
// target after its probe (name server not answering) or to every port the name server
// lists (the name-server walk).
//
// NOT YET IMPLEMENTED: the bodies in rnid.cpp are placeholders that send nothing.
#pragma once

#include "fabric/fabric_queries.h"
#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"

namespace hba {

// Sends RNID to the target's port and merges a good answer into record's list.
void sendTargetRnid(const HbaApi& api, const AdapterEntry& adapter, const TargetEntry& target,
                    DiscoveredAdapter& record);

// Sends RNID to every port the name server lists, starting with firstEntry (the answer of
// the name-server probe), and merges the good answers into record's list.
void walkNameServerWithRnid(const HbaApi& api, const AdapterEntry& adapter,
                            const fabric::NameServerPortObject& firstEntry, DiscoveredAdapter& record);

}  // namespace hba
