// The attribute writer: gathers every entity list from its producers, then prints the
// attribute document to standard output.
#pragma once

#include <string>

#include "document/attribute_model.h"

namespace doc {

// The scan parameters, written once by the driver at start-up and read by every writer.
ScanParameters& scanParameters();

// Gathers the model in the producers' fixed order. In the "Running" mode the drive and
// disk surveys do not run and the volume and file-system lists stay empty.
AttributeModel gatherAttributeModel(int adapterCount, const std::string& modeText);

// Gathers the model, then writes the document to standard output as it is rendered.
// Returns 0 when all of it was written, else the error number of the failed write.
int printAttributeXml(int adapterCount, const std::string& modeText);

}  // namespace doc
