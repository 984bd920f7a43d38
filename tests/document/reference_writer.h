// A deliberately plain rendering of the attribute and PE-mode documents: every reference
// is found by scanning the other list from its start, placeholders are inserted at the
// front of a list, duplicates are removed by comparing with every earlier record. It is
// slow on purpose and exists only to check the indexed writers against it.
#pragma once

#include <string>

#include "document/attribute_model.h"

namespace reference {
std::string renderAttributeXml(doc::AttributeModel model, const doc::ScanParameters& params);
std::string renderPeModeXml(doc::AttributeModel model, const doc::ScanParameters& params);
}  // namespace reference
