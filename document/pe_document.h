// The PE-mode document: the attribute document's prolog and header (option "PE"), then
// only the system, its controllers, the peripheral entities and the FC nodes.
#pragma once

#include <string>

#include "document/attribute_model.h"

namespace doc {

// Renders the reduced document; placeholder nodes and de-duplication as in the full one.
std::string renderPeModeXml(AttributeModel& model, const ScanParameters& params);

void printPeModeXml(AttributeModel& model, const ScanParameters& params);

}  // namespace doc
