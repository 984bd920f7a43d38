// The file-system summary document: the host, its operating system and its file
// systems, without any SAN discovery.
#pragma once

#include <string>

#include "document/attribute_model.h"

namespace inv {

// Renders the document for the scan parameters. Two blocks of declarations (logical
// devices, volume and disk groups) are part of the DTD only when blockText is "FS".
std::string renderFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText);

// Gathers and prints the document to standard output; returns the exit code, 0. The
// driver hands over the GUID text as blockText.
int printFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText);

}  // namespace inv
