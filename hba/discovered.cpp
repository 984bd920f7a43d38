#include "hba/discovered.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/hash.h"

namespace hba {

void ShortBytes::assign(std::span<const uint8_t> bytes) {
    bytes_.assign(bytes.begin(), bytes.begin() + std::min(bytes.size(), kCapacity));
}

void ShortBytes::assign(std::string_view text) {
    assign(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::size_t NodeList::KeyHash::operator()(const Key& k) const noexcept {
    return base::hashPair(base::firstEightBytes(k.nodeWwn), base::firstEightBytes(k.portWwn));
}

DeviceNode& NodeList::append(DeviceNode node) {
    const Key key{node.nodeWwn, node.portWwn};
    nodes_.push_back(std::move(node));
    firstByKey_.try_emplace(key, nodes_.size() - 1);
    return nodes_.back();
}

DeviceNode* NodeList::find(const Wwn& nodeWwn, const Wwn& portWwn) {
    const auto it = firstByKey_.find(Key{nodeWwn, portWwn});
    return it == firstByKey_.end() ? nullptr : &nodes_[it->second];
}

DeviceNode& findNodeInList(DiscoveredAdapter& adapter, DeviceNode& node) {
    DeviceNode* listed = adapter.nodeList.find(node.nodeWwn, node.portWwn);
    return listed ? *listed : node;
}

int addNodeToList(DiscoveredAdapter& adapter, DeviceNode&& node) {
    try {
        DeviceNode added;
        added.portType = node.portType;
        added.deviceType = node.deviceType;
        added.page83Valid = node.page83Valid;
        added.portId = node.portId;
        added.portWwn = node.portWwn;
        added.nodeWwn = node.nodeWwn;
        added.vendorMark = node.vendorMark;
        added.serialNumber = node.serialNumber;
        added.alternateId = node.alternateId;
        added.protocol = node.protocol.substr(0, DeviceNode::kProtocolCapacity - 1);
        added.vendorId = node.vendorId;
        added.productId = node.productId;
        added.productRevision = node.productRevision;
        added.origin = kOriginScsi;
        added.nodeName = node.serialNumber;
        added.lunList = std::move(node.lunList);
        adapter.nodeList.append(std::move(added));
        return kListOk;
    } catch (const std::bad_alloc&) {
        return kListNoMemory;
    }
}

int addLunToNode(DeviceNode& node, const LunRecord& lun) {
    try {
        LunRecord& added = node.lunList.emplace_back(lun);
        // The captured data never holds more than its field.
        if (added.inquiryData.size() > LunRecord::kMaxInquiryData)
            added.inquiryData.resize(LunRecord::kMaxInquiryData);
        if (added.page83Data.size() > LunRecord::kMaxPage83Data)
            added.page83Data.resize(LunRecord::kMaxPage83Data);
        return kListOk;
    } catch (const std::bad_alloc&) {
        return kListNoMemory;
    }
}

int addRNIDToList(DiscoveredAdapter& adapter, const NodeIdentification& id) {
    if (DeviceNode* node = adapter.nodeList.find(id.nodeWwn, id.portWwn)) {
        // A name that is only the node's raw WWN (the stand-in for a missing serial
        // number) gives way to the name RNID found; a real name stays.
        const auto name = node->nodeName.bytes();
        const bool nameIsRawWwn =
            name.size() >= id.nodeWwn.size() &&
            std::equal(id.nodeWwn.begin(), id.nodeWwn.end(), name.begin());
        if (nameIsRawWwn && !id.nodeName.empty()) node->nodeName = id.nodeName;
        node->mgmtAddressCount = id.mgmtAddressCount;
        if (id.mgmtAddressCount > 0) node->mgmtAddress = id.mgmtAddress;
        if (id.rnidType == kRnidTypeStorageSubsystem) node->deviceType = kDeviceTypeProcessor;
        node->rnidType = id.rnidType <= kRnidTypeMax ? id.rnidType : 0;
        return kListOk;
    }
    DeviceNode added;
    added.origin = kOriginRnid;
    added.portWwn = id.portWwn;
    added.nodeWwn = id.nodeWwn;
    added.portId = id.portId;
    added.rnidType = id.rnidType;
    added.nodeName = id.nodeName;
    added.mgmtAddressCount = id.mgmtAddressCount;
    if (id.mgmtAddressCount > 0) added.mgmtAddress = id.mgmtAddress;
    adapter.nodeList.append(std::move(added));
    return kListOk;
}

namespace {

// Where a (node WWN, port WWN) pair occurs among a platform's port entries.
struct EntryRef {
    std::size_t node;
    std::size_t port;
};

struct PairHash {
    std::size_t operator()(const std::pair<Wwn, Wwn>& p) const noexcept {
        return base::hashPair(base::firstEightBytes(p.first), base::firstEightBytes(p.second));
    }
};

}  // namespace

int addPlatformToList(DiscoveredAdapter& adapter, PlatformRecord& platform) {
    // Matching pass: every listed node, in list order, takes the platform's data when one
    // of the platform's ports has its node and port WWN; all such ports are marked.
    std::unordered_map<std::pair<Wwn, Wwn>, std::vector<EntryRef>, PairHash> entries;
    for (std::size_t n = 0; n < platform.nodes.size(); ++n) {
        const NodeIdentification& ident = platform.nodes[n];
        for (std::size_t p = 0; p < ident.ports.size(); ++p)
            entries[{ident.nodeWwn, ident.ports[p].portWwn}].push_back({n, p});
    }
    if (!entries.empty()) {
        for (DeviceNode& node : adapter.nodeList) {
            const auto it = entries.find({node.nodeWwn, node.portWwn});
            if (it == entries.end()) continue;
            for (const EntryRef& ref : it->second)
                platform.nodes[ref.node].ports[ref.port].matched = kPortEntryMatched;
            node.platformType = platform.platformType;
            if (!platform.name.empty()) {
                node.nodeName = platform.name;
                node.serialNumber = platform.name;
            }
            node.mgmtAddressCount = platform.mgmtAddressCount;
            node.mgmtAddress = platform.mgmtAddress;
        }
    }

    // Adding pass: every port the list did not know becomes a node of its own.
    for (const NodeIdentification& ident : platform.nodes) {
        for (const PlatformPortEntry& port : ident.ports) {
            if (port.matched != 0) continue;
            DeviceNode added;
            added.origin = kOriginPlatform;
            added.portWwn = port.portWwn;
            added.portId = port.portId;
            added.nodeWwn = ident.nodeWwn;
            added.platformType = platform.platformType;
            added.nodeName = platform.name;
            added.mgmtAddressCount = platform.mgmtAddressCount;
            added.mgmtAddress = platform.mgmtAddress;
            adapter.nodeList.append(std::move(added));
        }
    }
    return kListOk;
}

namespace {

constexpr std::array<std::string_view, 19> kDeviceTypeNames = {
    "Disk",          "Tape",         "Printer",      "ExternalController",
    "WORM",          "CDROM",        "Scanner",      "Optical",
    "MediumChanger", "OtherEntity",  "OtherEntity",  "OtherEntity",
    "ExternalController", "SmartEnclosure", "Disk", "Optical",
    "OtherEntity",   "HBA",          "Unknown"};

constexpr std::array<std::string_view, 5> kPortTypeNames = {"Undefined", "N_Port", "NL_Port",
                                                            "F/FL_Port", "Unknown"};

constexpr std::array<std::string_view, 20> kRnidTypeNames = {
    "Undefined", "Unknown",        "Other",     "Hub",
    "Switch",    "Gateway",        "Converter", "HBA",
    "Undefined", "Storage Device", "Host",      "Storage Subsystem",
    "Undefined", "Undefined",      "Storage Access Device", "Undefined",
    "Undefined", "NAS Server",     "Bridge",    "Reserved"};

}  // namespace

std::string_view deviceTypeName(uint32_t deviceType) {
    return deviceType < kDeviceTypeNames.size() ? kDeviceTypeNames[deviceType] : "Unknown";
}

std::string_view portTypeName(uint32_t portType) {
    return portType < kPortTypeNames.size() ? kPortTypeNames[portType] : "Unknown";
}

std::string_view rnidTypeName(uint32_t rnidType) {
    return rnidType < kRnidTypeNames.size() ? kRnidTypeNames[rnidType] : "Undefined";
}

}  // namespace hba
