// The SAN map as one self-contained HTML page: inline SVG for the laid-out map, inline CSS,
// a few lines of inline script for the details shown on hover and focus, and the folded
// logical units as expandable lists. Nothing is fetched: a content security policy forbids
// every load.
#pragma once

#include <string>

#include "tools/attrmap/san_map.h"

namespace attrmap {

// The page for a map that has been laid out.
std::string htmlPage(const SanMap& map);

}  // namespace attrmap
