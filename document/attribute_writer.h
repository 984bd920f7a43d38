// The attribute document: prolog, inline DTD, header, and every entity with its
// parameters and the references derived from equal identifier texts.
#pragma once

#include <string>

#include "common/document_output.h"
#include "document/attribute_model.h"

namespace doc {

// The 37 lines of the inline DTD, each ended by a newline.
extern const char* const kAttributeDtd;

// Renders the whole document from a completed model (see document/model_completion.h).
// Every name, value and id is XML-escaped.
std::string renderAttributeXml(const AttributeModel& model, const ScanParameters& params);
// The same, line by line into a document output.
void renderAttributeXml(const AttributeModel& model, const ScanParameters& params, scan::DocumentOutput& out);

}  // namespace doc
