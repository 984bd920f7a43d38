#include "driver/model_builder.h"

#include <utility>

#include "document/entity_builders.h"
#include "document/model_completion.h"
#include "inventory/volume_entities.h"

namespace driver {

doc::AttributeModel buildAttributeModel(std::span<const hba::DiscoveredAdapter> adapters, HostInventory host) {
    doc::AttributeModel m;
    m.system = std::move(host.system);
    const doc::OperatingSystemRecord& os = m.operatingSystem.emplace(std::move(host.operatingSystem));
    if (host.drives) {
        m.logicalVolumes = inv::getLogicalVolumeInfo(os, m.system, *host.drives);
        m.hostFileSystems = inv::getHfsInfo(os, m.system, *host.drives);
    }

    // SAN entities, before the physical volumes (which name the logical unit at their
    // address), then the FC nodes, ports and groups after them.
    m.controllers = doc::reStructAdapterInfo(m.system, adapters);
    m.peripheralEntities = doc::reStructDeviceToPE(adapters);
    m.logicalUnits = doc::assembleLUN(m.peripheralEntities, adapters);
    if (host.disks) m.physicalVolumes = inv::getPhysicalVolumeInfo(os, m.system, m.logicalUnits, *host.disks);
    m.fcNodes = doc::reStructDeviceToFCN(m.system, adapters, m.peripheralEntities);
    m.fcPorts = doc::reStructDeviceToFCP(adapters);
    m.connectivityGroups = doc::assembleCG(m.controllers, m.fcNodes, m.fcPorts, adapters);

    doc::completeAttributeModel(m);
    return m;
}

doc::AttributeModel buildPeModel(std::span<const hba::DiscoveredAdapter> adapters, doc::SystemRecord system) {
    doc::AttributeModel m;
    m.system = std::move(system);
    m.controllers = doc::reStructAdapterInfo(m.system, adapters);
    m.peripheralEntities = doc::reStructDeviceToPE(adapters);
    m.fcNodes = doc::reStructDeviceToFCN(m.system, adapters, m.peripheralEntities);
    doc::completePeModel(m);
    return m;
}

}  // namespace driver
