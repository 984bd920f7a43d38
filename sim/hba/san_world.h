// From the world file to the simulated SAN: the "hba" member (adapters, ports, targets,
// units) and the "fabric" member (name server, configuration server, RNID answers, CT
// overrides). Every answer is turned into bytes here, once.
#pragma once

#include "sim/hba/json_fields.h"
#include "sim/hba/san_model.h"

namespace sansim {

// Builds the SAN of a checked world document. Throws WorldError for a value that the
// schema let through but the simulation cannot use.
San buildSan(const Json& world);

// Builds one fabric (the top-level "fabric" member or an adapter's own).
std::unique_ptr<Fabric> buildFabric(const Json& given);

}  // namespace sansim
