#include "driver/document_model.h"

#include "document/entity_builders.h"
#include "inventory/disk_survey.h"
#include "inventory/drive_survey.h"
#include "inventory/host_identity.h"
#include "inventory/volume_entities.h"

namespace driver {

namespace {
doc::SystemRecord systemOf(const doc::ScanParameters& params) {
    doc::SystemRecord system = inv::getSystemInfo(params.systemGuid);
    if (!params.systemGuid.empty()) system.id = params.systemGuid;
    return system;
}
}  // namespace

doc::AttributeModel gatherAttributeModel(const doc::ScanParameters& params,
                                         std::span<const hba::DiscoveredAdapter> adapters, bool running) {
    doc::AttributeModel m;
    m.system = systemOf(params);

    inv::DriveList drives;
    inv::DiskList disks;
    if (!running) {
        drives = inv::collectDriveList();
        disks = inv::collectDiskList();
    }
    m.operatingSystem = inv::getNtSystemInfo(m.system);
    if (!running) {
        m.logicalVolumes = inv::getLogicalVolumeInfo(*m.operatingSystem, m.system, drives);
        m.hostFileSystems = inv::getHfsInfo(*m.operatingSystem, m.system, drives);
    }

    // SAN entities, before the physical volumes (which name the logical unit at their
    // address), then the FC nodes, ports and groups after them.
    m.controllers = doc::reStructAdapterInfo(m.system, adapters);
    m.peripheralEntities = doc::reStructDeviceToPE(adapters);
    m.logicalUnits = doc::assembleLUN(m.peripheralEntities, m.system, adapters);

    if (!running)
        m.physicalVolumes = inv::getPhysicalVolumeInfo(*m.operatingSystem, m.system, m.logicalUnits, disks);

    m.fcNodes = doc::reStructDeviceToFCN(m.system, adapters, m.peripheralEntities);
    m.fcPorts = doc::reStructDeviceToFCP(adapters);
    m.connectivityGroups = doc::assembleCG(m.controllers, m.fcNodes, m.fcPorts, adapters);
    return m;
}

doc::AttributeModel gatherPeModel(const doc::ScanParameters& params, std::span<const hba::DiscoveredAdapter> adapters) {
    doc::AttributeModel m;
    m.system = systemOf(params);
    m.controllers = doc::reStructAdapterInfo(m.system, adapters);
    m.peripheralEntities = doc::reStructDeviceToPE(adapters);
    m.fcNodes = doc::reStructDeviceToFCN(m.system, adapters, m.peripheralEntities);
    return m;
}

}  // namespace driver
