#include "document/attribute_document.h"

#include <cstdio>

#include "document/attribute_writer.h"
#include "document/entity_builders.h"
#include "inventory/disk_survey.h"
#include "inventory/drive_survey.h"
#include "inventory/host_identity.h"
#include "inventory/volume_entities.h"

namespace doc {

ScanParameters& scanParameters() {
    static ScanParameters params;
    return params;
}

AttributeModel gatherAttributeModel(int adapterCount, const std::string& modeText) {
    const ScanParameters& params = scanParameters();
    const bool running = modeText == "Running";

    AttributeModel m;
    m.system = inv::getSystemInfo(params.systemGuid);
    if (!params.systemGuid.empty()) m.system.id = params.systemGuid;

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
    m.controllers = reStructAdapterInfo(m.system, adapterCount);
    m.peripheralEntities = reStructDeviceToPE(adapterCount);
    m.logicalUnits = assembleLUN(m.peripheralEntities, m.system, adapterCount);

    if (!running)
        m.physicalVolumes = inv::getPhysicalVolumeInfo(*m.operatingSystem, m.system, m.logicalUnits, disks);

    m.fcNodes = reStructDeviceToFCN(m.system, adapterCount, m.peripheralEntities);
    m.fcPorts = reStructDeviceToFCP(adapterCount);
    m.connectivityGroups = assembleCG(m.controllers, m.fcNodes, m.fcPorts, adapterCount);
    return m;
}

int printAttributeXml(int adapterCount, const std::string& modeText) {
    AttributeModel m = gatherAttributeModel(adapterCount, modeText);
    scan::DocumentOutput out(stdout);
    renderAttributeXml(m, scanParameters(), out);
    return out.finish();
}

}  // namespace doc
