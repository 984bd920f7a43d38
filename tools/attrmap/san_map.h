// What the SAN map draws: boxes for the host, its adapters, the target ports they reach,
// the storage systems behind them and their logical units, the edges between them, and
// for a storage system with many units one box holding their count, the units themselves
// listed apart. In two-document mode everything carries how it changed since the older
// document, the way attrdiff reports it; what is gone is drawn from the older document.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/attrdiff/document_diff.h"
#include "tools/attrdiff/san_view.h"

namespace attrmap {

enum class Mark { None, Added, Removed, Changed };

// "added", "removed", "changed"; empty for None.
const char* markName(Mark mark);

struct Detail {
    std::string name, value;
};

struct UnitPathRow {
    std::string id;       // LogicalUnitXml UniqueId text
    std::string adapter;  // adapter name, or the adapter port's WWN
    std::string target;   // target port WWN
    Mark mark = Mark::None;
};

struct MapUnit {
    std::string key, label;
    int adapterPorts = 0;
    Mark mark = Mark::None;
    std::vector<UnitPathRow> paths;
    std::string sitsOn;  // the local disks and volumes on the unit: "Disk1 e: (SAN Data)"
    std::vector<Detail> details;
    bool multipath() const { return adapterPorts >= 2; }
};

struct Box {
    std::string kind;  // "host", "adapter", "target-port", "storage", "unit", "fold", "disk"
    std::string id;    // the document's UniqueId text (for a unit its key, for a fold the storage id)
    std::string title, subtitle;
    Mark mark = Mark::None;
    std::vector<Detail> details;
    std::size_t unit = 0;  // "unit": index into SanMap::units
    std::size_t fold = 0;  // "fold": index into SanMap::folds
    // Filled in by the layout: centre and size, in CSS pixels.
    double x = 0, y = 0, width = 0, height = 0;
};

struct Edge {
    std::size_t from, to;  // box indexes
    Mark mark = Mark::None;
    std::string path;      // SVG path data, filled in by the layout
};

struct Fold {
    std::string storage, storageName;
    std::vector<std::size_t> units;  // indexes into SanMap::units
};

struct SanMap {
    std::string title;
    bool compared = false;  // two-document mode
    std::vector<Box> boxes;
    std::vector<Edge> edges;
    std::vector<MapUnit> units;
    std::vector<Fold> folds;
    double width = 0, height = 0;  // filled in by the layout
};

// A storage system with more units than this shows a count instead of a box per unit.
constexpr std::size_t kFoldAbove = 8;

// The map of one document.
SanMap buildMap(const scandoc::SanView& view);

// The map of after, with the changes since before marked.
SanMap buildMap(const scandoc::SanView& before, const scandoc::SanView& after, const scandoc::DocumentDiff& diff);

}  // namespace attrmap

namespace attrmap {

// The text lines a box shows, first the title; the layout sizes the box from them.
std::vector<std::string> boxLines(const SanMap& map, const Box& box);

}  // namespace attrmap
