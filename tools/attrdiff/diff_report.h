// A document difference printed for people (text) or for scripts (JSON).
#pragma once

#include <string>

#include "tools/attrdiff/document_diff.h"

namespace scandoc {

// The changes to act on first, then every element kind with what was added, removed and
// changed. Empty when there is no difference.
std::string textReport(const DocumentDiff& diff);

// One JSON object: "kind", "findings" (the changes to act on) and "elements".
std::string jsonReport(const DocumentDiff& diff);

}  // namespace scandoc
