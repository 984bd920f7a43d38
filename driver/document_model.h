// Gathering the document model: the host inventory's surveys, then the model built from
// their records and the discovered adapters (driver/model_builder.h).
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
