#include "tools/attrmap/graph_layout.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace attrmap {

namespace {

// Graphviz keeps sizes in inches and positions in points; a CSS pixel is taken as a point.
constexpr double kPointsPerInch = 72;

std::string number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// cgraph's interfaces take char* for texts they only read.
char* text(const char* s) { return const_cast<char*>(s); }

struct Context {
    GVC_t* gvc = gvContext();
    Agraph_t* graph = nullptr;
    ~Context()
    {
        if (graph) {
            gvFreeLayout(gvc, graph);
            agclose(graph);
        }
        gvFreeContext(gvc);
    }
};

}  // namespace

bool layOut(SanMap& map, std::string& error)
{
    for (Box& b : map.boxes) {
        std::size_t longest = 0;
        const std::vector<std::string> lines = boxLines(map, b);
        for (const std::string& l : lines) longest = std::max(longest, l.size());
        b.width = static_cast<double>(longest) * kCharWidth + 2 * kPadding;
        b.height = static_cast<double>(lines.size()) * kLineHeight + 2 * kPadding;
    }

    Context c;
    if (!c.gvc) {
        error = "Graphviz could not be started";
        return false;
    }
    c.graph = agopen(text("san"), Agdirected, nullptr);
    agattr(c.graph, AGRAPH, text("rankdir"), text("LR"));
    agattr(c.graph, AGRAPH, text("nodesep"), text("0.12"));
    agattr(c.graph, AGRAPH, text("ranksep"), text("0.9"));
    agattr(c.graph, AGNODE, text("shape"), text("box"));
    agattr(c.graph, AGNODE, text("fixedsize"), text("true"));
    agattr(c.graph, AGNODE, text("label"), text(""));
    // Lines, not arrows: the splines then end on the boxes' borders.
    agattr(c.graph, AGEDGE, text("dir"), text("none"));
    Agsym_t* width = agattr(c.graph, AGNODE, text("width"), text("1"));
    Agsym_t* height = agattr(c.graph, AGNODE, text("height"), text("0.5"));

    std::vector<Agnode_t*> nodes;
    nodes.reserve(map.boxes.size());
    for (std::size_t i = 0; i < map.boxes.size(); ++i) {
        const std::string name = "n" + std::to_string(i);
        Agnode_t* n = agnode(c.graph, text(name.c_str()), 1);
        agxset(n, width, text(number(map.boxes[i].width / kPointsPerInch).c_str()));
        agxset(n, height, text(number(map.boxes[i].height / kPointsPerInch).c_str()));
        nodes.push_back(n);
    }
    std::vector<Agedge_t*> edges;
    for (const Edge& e : map.edges) edges.push_back(agedge(c.graph, nodes[e.from], nodes[e.to], nullptr, 1));

    if (gvLayout(c.gvc, c.graph, "dot") != 0) {
        error = "Graphviz could not lay the map out";
        return false;
    }
    const boxf bb = GD_bb(c.graph);
    const double top = bb.UR.y, left = bb.LL.x;
    map.width = bb.UR.x - bb.LL.x;
    map.height = bb.UR.y - bb.LL.y;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        map.boxes[i].x = ND_coord(nodes[i]).x - left;
        map.boxes[i].y = top - ND_coord(nodes[i]).y;
    }
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const splines* spl = ED_spl(edges[i]);
        if (!spl || spl->size < 1 || spl->list[0].size < 4) continue;
        const bezier& bz = spl->list[0];
        std::string d;
        for (std::size_t k = 0; k < static_cast<std::size_t>(bz.size); ++k) {
            d += k == 0 ? "M" : (k % 3 == 1 ? " C" : " ");
            d += number(bz.list[k].x - left) + "," + number(top - bz.list[k].y);
        }
        map.edges[i].path = std::move(d);
    }
    return true;
}

}  // namespace attrmap

// Graphviz's spline router keeps a buffer for the life of the process and never frees it;
// the leak checker of sanitizer builds is told so (other builds never call this).
extern "C" const char* __lsan_default_suppressions() { return "leak:libgvc.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
