// Building the document model from what the scan found: the discovered adapters and the
// host's records. The builders run in the producers' fixed order (the order of their
// traces) and read nothing else; the model they return is complete, and the writers print
// it as it is.
#pragma once

#include <optional>
#include <span>

#include "document/attribute_model.h"
#include "hba/discovered.h"
#include "inventory/disk_survey.h"
#include "inventory/drive_survey.h"

namespace driver {

// The host's side of the attribute document. The drive and disk surveys do not run in a
// scan marked "Running": then they are absent and no volumes or file systems are shown.
struct HostInventory {
    doc::SystemRecord system;
    doc::OperatingSystemRecord operatingSystem;
    std::optional<inv::DriveList> drives;
    std::optional<inv::DiskList> disks;
};

// The attribute document's model. Its logical units refer to the adapters' discovered
// units, which must outlive it.
doc::AttributeModel buildAttributeModel(std::span<const hba::DiscoveredAdapter> adapters, HostInventory host);

// The PE-mode document's model: the system, controllers, peripheral entities and FC nodes.
doc::AttributeModel buildPeModel(std::span<const hba::DiscoveredAdapter> adapters, doc::SystemRecord system);

}  // namespace driver
