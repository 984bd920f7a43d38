// The SAN entities of the attribute document, built from the discovered-device lists:
// controllers (one per discovered adapter), peripheral entities (one per node that showed
// logical units), logical units, FC nodes, FC ports and connectivity groups. The builders
// run once per document, in that order, after discovery has finished; they only read the
// discovered lists.
//
// Every builder is given the discovered-adapter records of the scan.
//
// Cross-references between the lists (a logical unit's node, an FC node's controller and
// peripheral entity, a group's adapter) are found through hash indexes built once per
// call, so the cost grows linearly with the SAN.
#pragma once

#include <deque>
#include <span>
#include <vector>

#include "document/records.h"
#include "hba/discovered.h"

namespace doc {

using DiscoveredAdapters = std::span<const hba::DiscoveredAdapter>;

// One controller per adapter, owned by the system.
std::vector<ControllerRecord> reStructAdapterInfo(const SystemRecord& system, DiscoveredAdapters adapters);

// One peripheral entity per node with at least one logical unit, adapter by adapter.
std::deque<PeripheralEntityRecord> reStructDeviceToPE(DiscoveredAdapters adapters);

// For each entity, one logical unit per logical unit of the node it was built from, in
// the node's order; entities is the list reStructDeviceToPE built from the same adapters.
// None when the entity list is empty.
std::vector<LogicalUnitRecord> assembleLUN(const std::deque<PeripheralEntityRecord>& entities,
                                           DiscoveredAdapters adapters);

// One FC node per listed node (every origin), with its controller or peripheral-entity
// reference; the entity list decides the trimming of the node's name.
std::deque<FcNodeRecord> reStructDeviceToFCN(const SystemRecord& system, DiscoveredAdapters adapters,
                                             const std::deque<PeripheralEntityRecord>& entities);

// One FC port per listed node, no node left out.
std::deque<FcPortRecord> reStructDeviceToFCP(DiscoveredAdapters adapters);

// One connectivity group per FC port; controllers are those reStructAdapterInfo built from
// the same adapters, one per adapter in order. The group of an adapter's own port lists the target
// ports that showed logical units through that adapter; any other group is empty. None
// when the port list is empty.
std::vector<ConnectivityGroupRecord> assembleCG(const std::vector<ControllerRecord>& controllers,
                                                const std::deque<FcNodeRecord>& fcNodes,
                                                const std::deque<FcPortRecord>& fcPorts,
                                                DiscoveredAdapters adapters);

}  // namespace doc
