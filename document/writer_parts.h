// Pieces the attribute and PE-mode writers share: prolog and DTD, header, controllers
// with their placeholder nodes, peripheral entities, and the id index that turns every
// reference rule ("each record of that list whose field equals this id") into a lookup.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/attribute_model.h"
#include "document/xml_out.h"

namespace doc {

// Records of one list grouped by a key text, each group in list order.
template <class Record>
class Index {
public:
    template <class List, class Key>
    Index(const List& list, Key key) {
        for (const Record& r : list) groups_[std::string_view(key(r))].push_back(&r);
    }
    const std::vector<const Record*>& find(std::string_view key) const {
        auto it = groups_.find(key);
        return it == groups_.end() ? empty_ : it->second;
    }
    const Record* first(std::string_view key) const {
        const auto& g = find(key);
        return g.empty() ? nullptr : g.front();
    }
    // A record put at the front of its list is also the first of its group.
    void addFront(std::string_view key, const Record* r) {
        auto& g = groups_[key];
        g.insert(g.begin(), r);
    }

private:
    std::unordered_map<std::string_view, std::vector<const Record*>> groups_;
    std::vector<const Record*> empty_;
};

// Removes every record whose id equals the id of an earlier record of the list.
template <class List>
void removeDuplicateIds(List& list) {
    std::unordered_set<std::string> seen;
    std::erase_if(list, [&](const auto& r) { return !seen.insert(r.id).second; });
}

// The XML declaration, the DTD and the root's start tag.
void printProlog(XmlOut& out);

// The header's five parameters; option is empty in the full document, "PE" in the other.
void printHeader(XmlOut& out, const ScanParameters& params, const std::string& systemId,
                 std::string_view option);

// Each controller with its FC-node references. A controller without a node gets a
// placeholder node (its own id, no parameters) at the front of the node list.
void printControllers(XmlOut& out, const std::vector<ControllerRecord>& controllers,
                      std::deque<FcNodeRecord>& fcNodes);

// Each peripheral entity with its FC-node references and, when units is given, its
// logical-unit references.
void printPeripheralEntities(XmlOut& out, const std::deque<PeripheralEntityRecord>& entities,
                             const std::deque<FcNodeRecord>& fcNodes,
                             const std::vector<LogicalUnitRecord>* units);

}  // namespace doc
