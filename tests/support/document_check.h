// The promise every scanner document keeps, checked with libxml2: one well-formed UTF-8
// XML document (nothing before or after it), whose every reference element (a name
// ending in "IdXml") names the text of some UniqueIdXml of the same document.
#pragma once

#include <string>

namespace testsupport {

// Returns an empty string when text keeps the promise, else the first problem found.
// Line ends may be "\n" or "\r\n".
std::string documentProblem(const std::string& text);

}  // namespace testsupport
