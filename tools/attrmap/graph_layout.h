// Places the boxes of a SAN map and routes its edges with Graphviz's layered layout
// (host on the left, logical units on the right).
#pragma once

#include "tools/attrmap/san_map.h"

namespace attrmap {

// Box sizes in CSS pixels for a line of text in the page's monospace font.
constexpr double kCharWidth = 7.8;
constexpr double kLineHeight = 16;
constexpr double kPadding = 10;

// Sizes every box from its lines, lays the map out and fills in the positions, edge paths
// and the map's size. Returns false, with the reason in error, when Graphviz fails.
bool layOut(SanMap& map, std::string& error);

}  // namespace attrmap
