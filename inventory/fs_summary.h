// The file-system summary document: the host and its file systems, no SAN discovery.
#pragma once

#include <string>

namespace inv {
// Prints the document to standard output; returns the exit code (0).
int printFileSystemSummaryXml(const std::string& text);
}
