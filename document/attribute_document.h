// The attribute writer's entry: prints a gathered model as the attribute document on
// standard output.
#pragma once

#include "document/attribute_model.h"

namespace doc {

// Writes the document to standard output as it is rendered. Returns 0 when all of it was
// written, else the error number of the failed write.
int printAttributeXml(const AttributeModel& model, const ScanParameters& params);

}  // namespace doc
