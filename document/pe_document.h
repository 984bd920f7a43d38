// The PE-mode document: the attribute document's prolog and header (option "PE"), then
// only the system, its controllers, the peripheral entities and the FC nodes.
#pragma once

#include <string>

#include "common/document_output.h"
#include "document/attribute_model.h"

namespace doc {

// Gathers the system, controllers, peripheral entities and FC nodes; nothing else.
AttributeModel gatherPeModel(int adapterCount);

// Renders the reduced document; placeholder nodes and de-duplication as in the full one.
std::string renderPeModeXml(AttributeModel& model, const ScanParameters& params);
// The same, line by line into a document output.
void renderPeModeXml(AttributeModel& model, const ScanParameters& params, scan::DocumentOutput& out);

// Gathers and writes the document to standard output as it is rendered. Returns 0 when
// all of it was written, else the error number of the failed write.
int printPeModeXml(int adapterCount);

}  // namespace doc
