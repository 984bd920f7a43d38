#include "hba/adapter_record.h"

#include "common/text.h"

namespace hba {

void fillAdapterRecord(DiscoveredAdapter& record, const AdapterEntry& entry, std::string_view hostName) {
    record.hostName = scan::boundedText(hostName, DiscoveredAdapter::kTextCapacity);
    record.adapterName = entry.adapterName;
    record.hardwareVersion = entry.hardwareVersion;
    record.driverVersion = entry.driverVersion;
    record.optionRomVersion = entry.optionRomVersion;
    record.firmwareVersion = entry.firmwareVersion;
    record.model = entry.model;
    record.modelDescription = entry.modelDescription;
    record.driverName = entry.driverName;
    record.manufacturer = entry.manufacturer;
    record.serialNumber = entry.serialNumber;
    record.hbaApiVersion = entry.hbaApiVersion;
    record.vendorSpecificId = entry.vendorSpecificId;
    record.handle = entry.handle;
    record.nodeWwn = entry.nodeWwn;
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
