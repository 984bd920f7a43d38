// The last step of building a document model: what the documents show beyond the
// entities the builders made. Every controller names at least one FC node and every FC
// node at least one FC port: one without parameters, carrying the id of the record it
// stands in for, is put at the front of its list. Peripheral entities, FC nodes and FC
// ports whose id repeats an earlier record's are dropped. After this the writers print
// the model as it is.
#pragma once

#include "document/attribute_model.h"

namespace doc {

// For the attribute document, in this order: each controller's node references (a
// placeholder node for a controller without nodes), then duplicates removed (a logical
// unit's entity becomes the kept entity of its id), then a placeholder port for each
// node without ports.
void completeAttributeModel(AttributeModel& model);

// For the PE-mode document, which shows no logical units or ports: any logical units
// dropped, the controllers' node references and placeholder nodes, then duplicate
// entities and nodes removed.
void completePeModel(AttributeModel& model);

}  // namespace doc
