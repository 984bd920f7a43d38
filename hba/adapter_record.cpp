#include "hba/adapter_record.h"

#include "base/text.h"

namespace hba {

void fillAdapterRecord(DiscoveredAdapter& record, const AdapterEntry& entry, std::string_view hostName) {
    record.hostName = scan::boundedText(hostName, DiscoveredAdapter::kTextCapacity);
    static_cast<AdapterAttributes&>(record) = entry;
    record.handle = entry.handle;
    record.portId = portIdFromFcAddress(entry.portFcId);
    record.portWwn = entry.portWwn;
    record.HBAOffset = entry.HBAOffset;
}

DeviceNode adapterOwnNode(const DiscoveredAdapter& record) {
    DeviceNode node;
    node.portType = kPortTypeAdapter;
    node.deviceType = kDeviceTypeHba;
    node.portId = record.portId;
    node.portWwn = record.portWwn;
    node.nodeWwn = record.nodeWwn;
    node.serialNumber.assign(record.serialNumber);
    node.alternateId.assign(record.serialNumber);
    node.protocol = "FCP";
    return node;
}

}  // namespace hba
