// The PE-mode document: the attribute document's prolog and header (option "PE"), then
// only the system, its controllers, the peripheral entities and the FC nodes.
#pragma once

#include <string>

#include "common/document_output.h"
#include "document/attribute_model.h"

namespace doc {

// Renders the reduced document from a model completed for it (doc::completePeModel).
std::string renderPeModeXml(const AttributeModel& model, const ScanParameters& params);
// The same, line by line into a document output.
void renderPeModeXml(const AttributeModel& model, const ScanParameters& params, scan::DocumentOutput& out);

// Writes the document to standard output as it is rendered. Returns 0 when all of it was
// written, else the error number of the failed write.
int printPeModeXml(const AttributeModel& model, const ScanParameters& params);

}  // namespace doc
