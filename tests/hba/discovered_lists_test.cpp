// The discovered-device lists: the five operations and the name tables, as the probing
// steps use them and the document builders read the result.
#include <gtest/gtest.h>

#include "hba/discovered.h"

namespace {

using hba::DeviceNode;
using hba::DiscoveredAdapter;
using hba::NodeIdentification;
using hba::PlatformRecord;
using hba::Wwn;

Wwn wwn(uint8_t first, uint8_t last) { return {first, 0, 0, 0, 0, 0, 0, last}; }

DeviceNode targetNode(uint8_t n, std::string_view serial) {
    DeviceNode node;
    node.portType = hba::kPortTypeTarget;
    node.deviceType = 0;
    node.nodeWwn = wwn(0x20, n);
    node.portWwn = wwn(0x21, n);
    node.portId = {1, 2, n};
    node.serialNumber.assign(serial);
    node.alternateId.assign(node.nodeWwn);
    node.protocol = "FCP";
    return node;
}

NodeIdentification rnidAnswer(const Wwn& nodeWwn, const Wwn& portWwn, uint32_t type, std::string_view name) {
    NodeIdentification r;
    r.nodeWwn = nodeWwn;
    r.portWwn = portWwn;
    r.portId = {7, 8, 9};
    r.rnidType = type;
    r.nodeName.assign(name);
    return r;
}

TEST(DiscoveredLists, FindReturnsTheFirstListedNodeOrTheCallersOwn) {
    DiscoveredAdapter adapter;
    DeviceNode probe = targetNode(1, "S1");
    EXPECT_EQ(&hba::findNodeInList(adapter, probe), &probe) << "empty list";

    ASSERT_EQ(hba::addNodeToList(adapter, targetNode(1, "FIRST")), hba::kListOk);
    ASSERT_EQ(hba::addNodeToList(adapter, targetNode(2, "OTHER")), hba::kListOk);
    ASSERT_EQ(hba::addNodeToList(adapter, targetNode(1, "DUPLICATE")), hba::kListOk);  // no duplicate check
    ASSERT_EQ(adapter.nodeList.size(), 3u);
    EXPECT_EQ(hba::findNodeInList(adapter, probe).serialNumber.text(), "FIRST");

    DeviceNode samePortOtherNode = targetNode(3, "X");
    samePortOtherNode.portWwn = wwn(0x21, 1);
    EXPECT_EQ(&hba::findNodeInList(adapter, samePortOtherNode), &samePortOtherNode) << "both WWNs must match";
}

TEST(DiscoveredLists, AddNodeCopiesIdentityAndTakesOverTheUnits) {
    DiscoveredAdapter adapter;
    DeviceNode node = targetNode(5, "SERIAL-5");
    node.page83Valid = 1;
    node.vendorMark = 1;
    node.rnidType = 9;           // not copied
    node.platformType = 4;       // not copied
    node.mgmtAddressCount = 1;   // not copied
    hba::LunRecord lun;
    lun.PortBusTargLun = {2, 0, 5, 3};
    lun.inquiryData.assign(300, 0xAB);  // more than the field holds
    ASSERT_EQ(hba::addLunToNode(node, lun), hba::kListOk);
    ASSERT_EQ(hba::addNodeToList(adapter, std::move(node)), hba::kListOk);

    const DeviceNode& listed = adapter.nodeList[0];
    EXPECT_EQ(listed.origin, hba::kOriginScsi);
    EXPECT_EQ(listed.nodeName.text(), "SERIAL-5");
    EXPECT_EQ(listed.page83Valid, 1);
    EXPECT_EQ(listed.vendorMark, 1u);
    EXPECT_EQ(listed.protocol, "FCP");
    EXPECT_EQ(listed.rnidType, 0u);
    EXPECT_EQ(listed.platformType, 0u);
    EXPECT_EQ(listed.mgmtAddressCount, 0u);
    ASSERT_EQ(listed.lunList.size(), 1u);
    EXPECT_EQ(listed.lunList[0].PortBusTargLun, (std::array<uint8_t, 4>{2, 0, 5, 3}));
    EXPECT_EQ(listed.lunList[0].inquiryData.size(), hba::LunRecord::kMaxInquiryData);
    EXPECT_EQ(listed.lunList[0].capacity, -1);
}

TEST(DiscoveredLists, RnidAnswersMergeIntoListedNodesOrBecomeNodes) {
    DiscoveredAdapter adapter;
    DeviceNode rawNamed = targetNode(1, "");
    rawNamed.serialNumber.assign(rawNamed.nodeWwn);  // the stand-in for a missing serial
    hba::addNodeToList(adapter, std::move(rawNamed));
    hba::addNodeToList(adapter, targetNode(2, "REAL-SERIAL"));

    auto address = std::make_shared<hba::MgmtAddressList>(hba::MgmtAddressList{hba::ShortBytes("http://10.1.2.3:80")});
    NodeIdentification first = rnidAnswer(wwn(0x20, 1), wwn(0x21, 1), 11, "ARRAY-ONE");
    first.mgmtAddressCount = 1;
    first.mgmtAddress = address;
    hba::addRNIDToList(adapter, first);
    hba::addRNIDToList(adapter, rnidAnswer(wwn(0x20, 2), wwn(0x21, 2), 25, "IGNORED-NAME"));
    hba::addRNIDToList(adapter, rnidAnswer(wwn(0x30, 3), wwn(0x31, 3), 4, "SWITCH"));

    ASSERT_EQ(adapter.nodeList.size(), 3u);
    const DeviceNode& a = adapter.nodeList[0];
    EXPECT_EQ(a.nodeName.text(), "ARRAY-ONE") << "a raw-WWN name gives way";
    EXPECT_EQ(a.deviceType, hba::kDeviceTypeProcessor) << "storage subsystem";
    EXPECT_EQ(a.rnidType, 11u);
    ASSERT_EQ(a.mgmtAddressCount, 1u);
    EXPECT_EQ(a.mgmtAddress, address) << "shared, not copied";

    const DeviceNode& b = adapter.nodeList[1];
    EXPECT_EQ(b.nodeName.text(), "REAL-SERIAL") << "a real serial stays";
    EXPECT_EQ(b.rnidType, 0u) << "types beyond 18 are not kept";
    EXPECT_EQ(b.deviceType, 0);

    const DeviceNode& c = adapter.nodeList[2];
    EXPECT_EQ(c.origin, hba::kOriginRnid);
    EXPECT_EQ(c.portType, hba::kPortTypeUndefined);
    EXPECT_EQ(c.deviceType, 0);
    EXPECT_TRUE(c.protocol.empty());
    EXPECT_EQ(c.portId, (hba::PortId{7, 8, 9}));
    EXPECT_EQ(c.nodeName.text(), "SWITCH");
    EXPECT_EQ(c.rnidType, 4u);
}

TEST(DiscoveredLists, PlatformUpdatesKnownPortsAndAddsTheOthersInOrder) {
    DiscoveredAdapter adapter;
    hba::addNodeToList(adapter, targetNode(1, "S1"));  // port 0x21..01 of node 0x20..01 is known

    PlatformRecord platform;
    platform.platformType = 11;
    platform.name.assign("ARRAY-PLATFORM");
    platform.mgmtAddressCount = 1;
    platform.mgmtAddress = std::make_shared<hba::MgmtAddressList>(hba::MgmtAddressList{hba::ShortBytes("http://a")});
    NodeIdentification n1;
    n1.nodeWwn = wwn(0x20, 1);
    n1.ports = {{0, wwn(0x22, 1), {1, 1, 1}}, {0, wwn(0x21, 1), {1, 1, 2}}};
    NodeIdentification n2;
    n2.nodeWwn = wwn(0x20, 9);
    n2.ports = {{0, wwn(0x21, 9), {2, 2, 1}}, {0, wwn(0x22, 9), {2, 2, 2}}};
    platform.nodes = {n1, n2};

    hba::addPlatformToList(adapter, platform);

    EXPECT_EQ(platform.nodes[0].ports[0].matched, 0u);
    EXPECT_EQ(platform.nodes[0].ports[1].matched, hba::kPortEntryMatched);
    ASSERT_EQ(adapter.nodeList.size(), 4u);
    const DeviceNode& known = adapter.nodeList[0];
    EXPECT_EQ(known.platformType, 11u);
    EXPECT_EQ(known.nodeName.text(), "ARRAY-PLATFORM");
    EXPECT_EQ(known.serialNumber.text(), "ARRAY-PLATFORM");
    EXPECT_EQ(known.mgmtAddressCount, 1u);
    EXPECT_EQ(known.origin, hba::kOriginScsi);

    const std::array<std::pair<Wwn, Wwn>, 3> added = {{{wwn(0x20, 1), wwn(0x22, 1)},
                                                        {wwn(0x20, 9), wwn(0x21, 9)},
                                                        {wwn(0x20, 9), wwn(0x22, 9)}}};
    for (std::size_t i = 0; i < added.size(); ++i) {
        const DeviceNode& node = adapter.nodeList[i + 1];
        EXPECT_EQ(node.origin, hba::kOriginPlatform) << i;
        EXPECT_EQ(node.nodeWwn, added[i].first) << i;
        EXPECT_EQ(node.portWwn, added[i].second) << i;
        EXPECT_EQ(node.nodeName.text(), "ARRAY-PLATFORM") << i;
        EXPECT_EQ(node.platformType, 11u) << i;
        EXPECT_EQ(node.mgmtAddress, platform.mgmtAddress) << i;
    }
    EXPECT_EQ(adapter.nodeList[2].portId, (hba::PortId{2, 2, 1}));

    // A nameless platform leaves a matched node's name alone; later nodes are found by the
    // index too.
    PlatformRecord nameless;
    nameless.platformType = 5;
    NodeIdentification again;
    again.nodeWwn = wwn(0x20, 9);
    again.ports = {{0, wwn(0x22, 9), {}}};
    nameless.nodes = {again};
    hba::addPlatformToList(adapter, nameless);
    EXPECT_EQ(adapter.nodeList.size(), 4u);
    EXPECT_EQ(adapter.nodeList[3].platformType, 5u);
    EXPECT_EQ(adapter.nodeList[3].nodeName.text(), "ARRAY-PLATFORM");
}

TEST(DiscoveredLists, NameTables) {
    const std::array<std::tuple<uint32_t, std::string_view, std::string_view, std::string_view>, 8> rows = {{
        {0, "Disk", "Undefined", "Undefined"},
        {1, "Tape", "N_Port", "Unknown"},
        {3, "ExternalController", "F/FL_Port", "Hub"},
        {4, "WORM", "Unknown", "Switch"},
        {8, "MediumChanger", "Unknown", "Undefined"},
        {12, "ExternalController", "Unknown", "Undefined"},
        {17, "HBA", "Unknown", "NAS Server"},
        {18, "Unknown", "Unknown", "Bridge"},
    }};
    for (const auto& [value, device, port, rnid] : rows) {
        EXPECT_EQ(hba::deviceTypeName(value), device) << value;
        EXPECT_EQ(hba::portTypeName(value), port) << value;
        EXPECT_EQ(hba::rnidTypeName(value), rnid) << value;
    }
    EXPECT_EQ(hba::portTypeName(2), "NL_Port");
    EXPECT_EQ(hba::rnidTypeName(11), "Storage Subsystem");
    EXPECT_EQ(hba::deviceTypeName(30), "Unknown");
    EXPECT_EQ(hba::rnidTypeName(19), "Undefined");
}

}  // namespace
