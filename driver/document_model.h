// Gathering the document model: the host inventory's records and the SAN entities built
// from the discovered adapters, in the producers' fixed order (the order of their traces).
#pragma once

#include <span>

#include "document/attribute_model.h"
#include "hba/discovered.h"

namespace driver {

// Everything the attribute document shows. In a run marked "Running" the drive and disk
// surveys do not run and the volume and file-system lists stay empty.
doc::AttributeModel gatherAttributeModel(const doc::ScanParameters& params,
                                         std::span<const hba::DiscoveredAdapter> adapters, bool running);

// The system, controllers, peripheral entities and FC nodes; nothing else.
doc::AttributeModel gatherPeModel(const doc::ScanParameters& params, std::span<const hba::DiscoveredAdapter> adapters);

}  // namespace driver
