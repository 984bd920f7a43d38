// The attribute writer's entry: prints a gathered model as the attribute document on
// standard output.
#pragma once

#include "document/attribute_model.h"

namespace doc {

void printAttributeXml(AttributeModel& model, const ScanParameters& params);

}  // namespace doc
