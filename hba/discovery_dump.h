// The discovery dump: after discovery and before the document is printed, the scan pass
// writes what it found into the trace, one block per discovered adapter, per node of its
// list and per logical unit of a node. The dump only reads the lists and writes nothing
// when the trace logger does not accept DEBUG_MIN.
#pragma once

#include "hba/discovered.h"

namespace hba {

// Dumps the discovered-adapter record at index k of the scan and then each node of its list.
void GXLogAdapter(const DiscoveredAdapter& adapter, int k);
// Dumps node (at position d of its list, from 0) and then its logical units, unless the
// node is an adapter (device type HBA or RNID type HBA).
void GXLogNode(const DeviceNode& node, int d);
// Dumps one logical unit at position m of its node's list (from 0).
void GXLogLunInfo(const LunRecord& lun, int m);

}  // namespace hba
