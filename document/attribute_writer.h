// The attribute document: prolog, inline DTD, header, and every entity with its
// parameters and the references derived from equal identifier texts.
#pragma once

#include <string>

#include "common/document_output.h"
#include "document/attribute_model.h"

namespace doc {

// The 37 lines of the inline DTD, each ended by a newline.
extern const char* const kAttributeDtd;

// Renders the whole document. The model's lists are completed as the document requires:
// placeholder FC nodes and ports are put at the front of their lists, and duplicate
// peripheral entities, FC nodes and FC ports (same id as an earlier one) are removed.
// Every name, value and id is XML-escaped.
std::string renderAttributeXml(AttributeModel& model, const ScanParameters& params);
// The same, line by line into a document output.
void renderAttributeXml(AttributeModel& model, const ScanParameters& params, scan::DocumentOutput& out);

}  // namespace doc
