// A deliberately plain rendering of the attribute and PE-mode documents from a model that
// is not yet completed (document/model_completion.h): every reference
// is found by scanning the other list from its start, placeholders are inserted at the
// front of a list, duplicates are removed by comparing with every earlier record. It is
// slow on purpose and exists only to check the indexed writers against it.
#pragma once

#include <span>
#include <string>

#include "document/attribute_model.h"
#include "hba/discovered.h"

namespace reference {
std::string renderAttributeXml(doc::AttributeModel model, const doc::ScanParameters& params);
std::string renderPeModeXml(doc::AttributeModel model, const doc::ScanParameters& params);

// The SAN entities of the discovered adapters, every cross-reference found by scanning
// the other list (or all adapters' nodes) from its start. With peOnly, only controllers,
// peripheral entities and FC nodes, as the PE-mode document gathers them.
void buildSanEntities(doc::AttributeModel& model, std::span<const hba::DiscoveredAdapter> adapters,
                      bool peOnly = false);

// The logical units found the other way: each unit takes the next logical unit of every
// node whose serial text equals its own (each node's list consumed one unit per match,
// never past its last), the last such node deciding. Where no two nodes with logical
// units share a serial, this gives every unit its own node's units in order.
std::vector<doc::LogicalUnitRecord> unitsBySerial(std::span<const hba::DiscoveredAdapter> adapters);
}  // namespace reference
