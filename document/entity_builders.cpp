#include "document/entity_builders.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/hash.h"
#include "common/scan_trace.h"
#include "base/text.h"
#include "document/entity_parts.h"

namespace doc {

namespace {

void trace(const char* method, int line, const char* text) {
    scan::trace(scan::kSourceSurveyXml, method, line, text);
}

uint32_t portIdKey(const hba::PortId& id) { return uint32_t{id[0]} << 16 | uint32_t{id[1]} << 8 | id[2]; }

// The first record of a list for each id (or other key), in list order.
template <class Record, class List, class Key>
std::unordered_map<std::string_view, const Record*> firstByKey(const List& list, Key key) {
    std::unordered_map<std::string_view, const Record*> first;
    first.reserve(list.size());
    for (const Record& r : list) first.try_emplace(key(r), &r);
    return first;
}

template <class Map>
auto lookup(const Map& map, std::string_view key) -> typename Map::mapped_type {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : it->second;
}

struct PairHash {
    std::size_t operator()(const std::pair<std::string, std::string>& p) const noexcept {
        return base::hashPair(std::hash<std::string>{}(p.first), std::hash<std::string>{}(p.second));
    }
};

}  // namespace


std::vector<ControllerRecord> reStructAdapterInfo(const SystemRecord& system, DiscoveredAdapters adapters) {
    trace("reStructAdapterInfo", 2069, "Entering reStructAdapterInfo function");
    std::vector<ControllerRecord> controllers;
    controllers.reserve(adapters.size());
    for (const auto& adapter : adapters) controllers.push_back(makeController(system.id, adapter));
    trace("reStructAdapterInfo", 2243, "Exiting reStructAdapterInfo function");
    return controllers;
}


std::deque<PeripheralEntityRecord> reStructDeviceToPE(DiscoveredAdapters adapters) {
    trace("reStructDeviceToPE", 2275, "Entering reStructDeviceToPE function");
    std::deque<PeripheralEntityRecord> entities;
    for (const auto& adapter : adapters)
        for (const auto& node : adapter.nodeList)
            if (!node.lunList.empty()) entities.push_back(makePeripheralEntity(node));
    if (!entities.empty()) trace("reStructDeviceToPE", 2495, "Exiting reStructDeviceToPE function");
    return entities;
}


// Entity e stands for the e-th node with logical units, adapter by adapter; its units
// are numbered by that node's logical units. Each unit takes its discovered unit from
// the first node with the same unit prefix (node port and adapter port) and serial text,
// unit d the node's d-th. Matching on the serial alone would mix up the paths of a
// device seen through several ports or adapters, which all carry the device's serial:
// the units of one path would take the addresses and identities of another.
std::vector<LogicalUnitRecord> assembleLUN(const std::deque<PeripheralEntityRecord>& entities,
                                           DiscoveredAdapters adapters) {
    trace("assembleLUN", 2559, "Entering assembleLUN function");
    std::vector<LogicalUnitRecord> units;
    if (adapters.empty() || entities.empty()) return units;

    // The first node with logical units of each (unit prefix, serial text).
    std::unordered_map<std::pair<std::string, std::string>, const hba::DeviceNode*, PairHash> sources;
    for (const auto& adapter : adapters)
        for (const auto& node : adapter.nodeList)
            if (!node.lunList.empty())
                sources.try_emplace(std::pair(unitPrefix(adapter, node), scan::hexText(node.serialNumber.bytes())),
                                    &node);

    uint32_t entity = 0;
    for (const auto& adapter : adapters) {
        for (const auto& node : adapter.nodeList) {
            if (node.lunList.empty()) continue;
            if (entity == entities.size()) break;
            std::pair key(unitPrefix(adapter, node), scan::hexText(node.serialNumber.bytes()));
            const auto& luns = sources.at(key)->lunList;
            for (std::size_t d = 0; d < node.lunList.size(); ++d)
                units.push_back(makeLogicalUnit(key.first, static_cast<int>(d), entity, node.page83Valid == 1,
                                                d < luns.size() ? &luns[d] : nullptr));
            ++entity;
        }
    }
    if (!units.empty()) trace("assembleLUN", 2749, "Exiting assembleLUN function");
    return units;
}


std::deque<FcNodeRecord> reStructDeviceToFCN(const SystemRecord& system, DiscoveredAdapters adapters,
                                             const std::deque<PeripheralEntityRecord>& entities) {
    trace("reStructDeviceToFCN", 2789, "Entering reStructDeviceToFCN function");
    std::deque<FcNodeRecord> fcNodes;
    std::unordered_set<uint32_t> adapterPorts;
    for (const auto& adapter : adapters) adapterPorts.insert(portIdKey(adapter.portId));
    // Whether the product id of each entity's node trims serial numbers, for the first
    // entity of each id (entity e stands for the e-th node with logical units).
    std::unordered_map<std::string_view, bool> trimsById;
    {
        std::size_t e = 0;
        for (const auto& adapter : adapters)
            for (const auto& node : adapter.nodeList)
                if (!node.lunList.empty() && e < entities.size())
                    trimsById.try_emplace(entities[e++].id, trimsSerial(fixedFieldText(node.productId)));
    }

    for (const auto& adapter : adapters) {
        const std::string ownController = controllerId(system.id, adapter);
        for (const auto& node : adapter.nodeList) {
            if (node.origin == 0) continue;
            // An adapter node at the port of a discovered adapter belongs to the controller
            // of the adapter whose list holds it.
            std::string controllerRef;
            if (isAdapterNode(node) && adapterPorts.contains(portIdKey(node.portId))) controllerRef = ownController;
            const std::string entityRef = isAdapterNode(node) ? std::string() : scan::hexText(node.alternateId.bytes());
            const auto trims = trimsById.find(entityRef);
            fcNodes.push_back(makeFcNode(node, std::move(controllerRef), trims != trimsById.end() && trims->second));
        }
    }
    if (!fcNodes.empty()) trace("reStructDeviceToFCN", 2990, "Exiting reStructDeviceToFCN function");
    return fcNodes;
}


std::deque<FcPortRecord> reStructDeviceToFCP(DiscoveredAdapters adapters) {
    trace("reStructDeviceToFCP", 3043, "Entering reStructDeviceToFCP function");
    std::deque<FcPortRecord> ports;
    for (const auto& adapter : adapters)
        for (const auto& node : adapter.nodeList) ports.push_back(makeFcPort(node));
    if (!ports.empty()) trace("reStructDeviceToFCP", 3105, "Exiting reStructDeviceToFCP function");
    return ports;
}


std::vector<ConnectivityGroupRecord> assembleCG(const std::vector<ControllerRecord>& controllers,
                                                const std::deque<FcNodeRecord>& fcNodes,
                                                const std::deque<FcPortRecord>& fcPorts,
                                                DiscoveredAdapters adapters) {
    trace("assembleCG", 3171, "Entering assembleCG function");
    std::vector<ConnectivityGroupRecord> groups;
    if (!adapters.empty() && !fcPorts.empty()) {
        const auto nodeById =
            firstByKey<FcNodeRecord>(fcNodes, [](const FcNodeRecord& r) -> std::string_view { return r.id; });
        // Controller i was made from adapter i. The HBA library names each adapter, and a
        // controller's group is that of the first adapter of its name: two adapters
        // reporting one name share the first one's group.
        const auto controllerById = firstByKey<ControllerRecord>(
            controllers, [](const ControllerRecord& r) -> std::string_view { return r.id; });
        std::vector<std::size_t> firstOfName(adapters.size());
        {
            std::unordered_map<std::string, std::size_t> byName;
            for (std::size_t i = 0; i < adapters.size(); ++i)
                firstOfName[i] = byName.try_emplace(documentText(adapters[i].adapterName), i).first->second;
        }

        // The members of an adapter's group, made once per adapter: the port WWNs of its
        // nodes with logical units, each once, in node order.
        std::unordered_map<std::size_t, std::vector<std::string>> membersOf;
        const auto members = [&](std::size_t a) -> const std::vector<std::string>& {
            auto [it, added] = membersOf.try_emplace(a);
            if (added) {
                std::unordered_set<std::string> seen;
                for (const auto& node : adapters[a].nodeList) {
                    if (node.lunList.empty()) continue;
                    std::string wwn = scan::hexText(node.portWwn);
                    if (seen.insert(wwn).second) it->second.push_back(std::move(wwn));
                }
            }
            return it->second;
        };

        groups.reserve(fcPorts.size());
        for (const auto& port : fcPorts) {
            ConnectivityGroupRecord& group = groups.emplace_back(makeGroup(port));
            const FcNodeRecord* node = lookup(nodeById, port.nodeRef);
            if (!node || node->controllerRef.empty()) continue;
            const ControllerRecord* controller = lookup(controllerById, node->controllerRef);
            if (!controller) continue;
            const auto adapter = static_cast<std::size_t>(controller - controllers.data());
            if (adapter < adapters.size()) group.members = members(firstOfName[adapter]);
        }
    }
    trace("assembleCG", 3293, "Exiting assembleCG function");
    return groups;
}

}  // namespace doc
