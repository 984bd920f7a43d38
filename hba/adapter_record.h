// The discovered-adapter record of an adapter-table entry, and the node that stands for the
// adapter's own port in its list.
#pragma once

#include <string_view>

#include "hba/adapter_table.h"
#include "hba/discovered.h"

namespace hba {

// Fills record from the adapter entry (texts, versions, handle, node WWN) and its port 0
// (FC address, port WWN, SCSI port number; zeros when the port could not be read).
void fillAdapterRecord(DiscoveredAdapter& record, const AdapterEntry& entry, std::string_view hostName);

// The node of the adapter's own port: an N_Port of device type HBA, speaking FCP, whose
// serial number and alternate id are the adapter's serial-number text.
DeviceNode adapterOwnNode(const DiscoveredAdapter& record);

}  // namespace hba
