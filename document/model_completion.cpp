#include "document/model_completion.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace doc {

namespace {

// A controller names the nodes that refer to it, as the list holds them before
// duplicates are removed; a controller that none refers to gets a placeholder node, which
// also serves a later controller of the same id.
void linkControllerNodes(std::vector<ControllerRecord>& controllers, std::deque<FcNodeRecord>& fcNodes) {
    std::unordered_map<std::string_view, std::vector<std::string_view>> nodesByController;
    for (const auto& n : fcNodes) nodesByController[n.controllerRef].push_back(n.id);
    std::unordered_set<std::string> placeholders;
    for (auto& c : controllers) {
        c.nodeRefs.clear();
        if (!placeholders.contains(c.id)) {
            if (const auto it = nodesByController.find(c.id); it != nodesByController.end()) {
                c.nodeRefs.assign(it->second.begin(), it->second.end());
                continue;
            }
            fcNodes.push_front(FcNodeRecord{c.id, c.id, "", {}});
            placeholders.insert(c.id);
        }
        c.nodeRefs.push_back(c.id);
    }
}

template <class List>
void removeDuplicateIds(List& list) {
    std::unordered_set<std::string> seen;
    std::erase_if(list, [&](const auto& r) { return !seen.insert(r.id).second; });
}

// Entities of a repeated id are dropped; their units go to the kept entity of that id.
void removeDuplicateEntities(std::deque<PeripheralEntityRecord>& entities, std::vector<LogicalUnitRecord>& units) {
    std::vector<uint32_t> keptIndex(entities.size());
    {
        std::unordered_map<std::string_view, uint32_t> firstOfId;
        for (std::size_t i = 0; i < entities.size(); ++i)
            keptIndex[i] = firstOfId.try_emplace(entities[i].id, static_cast<uint32_t>(firstOfId.size())).first->second;
    }
    for (auto& u : units)
        if (u.entity < keptIndex.size()) u.entity = keptIndex[u.entity];
    removeDuplicateIds(entities);
}

void addPlaceholderPorts(const std::deque<FcNodeRecord>& fcNodes, std::deque<FcPortRecord>& fcPorts) {
    std::unordered_set<std::string_view> nodesWithPorts;
    for (const auto& p : fcPorts) nodesWithPorts.insert(p.nodeRef);
    for (const auto& n : fcNodes)
        if (!nodesWithPorts.contains(n.id)) fcPorts.push_front(FcPortRecord{n.id, n.id, {}});
}

}  // namespace

void completeAttributeModel(AttributeModel& m) {
    linkControllerNodes(m.controllers, m.fcNodes);
    removeDuplicateEntities(m.peripheralEntities, m.logicalUnits);
    removeDuplicateIds(m.fcNodes);
    removeDuplicateIds(m.fcPorts);
    addPlaceholderPorts(m.fcNodes, m.fcPorts);
}

void completePeModel(AttributeModel& m) {
    m.logicalUnits.clear();
    linkControllerNodes(m.controllers, m.fcNodes);
    removeDuplicateIds(m.peripheralEntities);
    removeDuplicateIds(m.fcNodes);
}

}  // namespace doc
