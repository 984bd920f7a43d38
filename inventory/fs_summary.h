// The file-system summary document: the host, its operating system and its file
// systems, without any SAN discovery.
#pragma once

#include <string>

#include "common/document_output.h"
#include "document/attribute_model.h"

namespace inv {

// Renders the document for the scan parameters. Two blocks of declarations (logical
// devices, volume and disk groups) are part of the DTD only when blockText is "FS".
std::string renderFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText);
// The same, line by line into a document output.
void renderFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText,
                                scan::DocumentOutput& out);

// Gathers the host's records, then writes the document to standard output as it is
// rendered. Returns 0 when all of it was written, else the error number of the failed
// write. The driver hands over the GUID text as blockText.
int printFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText);

}  // namespace inv
