#include "driver/document_model.h"

#include <utility>

#include "driver/model_builder.h"
#include "inventory/host_identity.h"

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
    HostInventory host;
    host.system = systemOf(params);
    if (!running) {
        host.drives = inv::collectDriveList();
        host.disks = inv::collectDiskList();
    }
    host.operatingSystem = inv::getNtSystemInfo(host.system);
    return buildAttributeModel(adapters, std::move(host));
}

doc::AttributeModel gatherPeModel(const doc::ScanParameters& params, std::span<const hba::DiscoveredAdapter> adapters) {
    return buildPeModel(adapters, systemOf(params));
}

}  // namespace driver
