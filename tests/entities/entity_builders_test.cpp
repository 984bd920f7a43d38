// The entity builders on hand-built discovered lists, for what the world-driven documents
// cannot reach: identifiers too long for the old fields, serial texts of every form, and
// the physical volume that shares its address with the units of two paths.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "base/text.h"
#include "document/attribute_writer.h"
#include "document/entity_builders.h"
#include "document/entity_parts.h"
#include "document/model_completion.h"
#include "driver/model_builder.h"

namespace {

using namespace doc;

template <std::size_t N>
std::array<char, N> field(std::string_view text) {
    std::array<char, N> f;
    f.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), N), f.begin());
    return f;
}

hba::Wwn wwn(uint64_t v) {
    hba::Wwn w;
    for (int i = 7; i >= 0; --i, v >>= 8) w[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
    return w;
}

hba::LunRecord unit(uint8_t port, uint8_t target, uint8_t lun, std::string_view ident) {
    hba::LunRecord l;
    l.deviceType = 0;
    l.vendorId = field<8>("ACME");
    l.productId = field<16>("ARRAY");
    l.productRevision = field<4>("0001");
    l.PortBusTargLun = {port, 0, target, lun};
    std::copy_n(ident.begin(), std::min<std::size_t>(ident.size(), 38), l.inquiryIdent.begin());
    l.inquiryData = {0, 0, 5, 2, 3, 0, 0, 2};  // additional length 3: eight bytes
    return l;
}

hba::DeviceNode target(uint64_t nodeWwn, uint64_t portWwn, std::string_view serial, std::string_view product) {
    hba::DeviceNode n;
    n.origin = hba::kOriginScsi;
    n.portType = hba::kPortTypeTarget;
    n.nodeWwn = wwn(nodeWwn);
    n.portWwn = wwn(portWwn);
    n.serialNumber = hba::ShortBytes(serial);
    n.nodeName = n.serialNumber;
    n.alternateId = hba::ShortBytes(std::span<const uint8_t>(n.nodeWwn));
    n.productId = field<16>(product);
    n.vendorId = field<8>("ACME");
    n.productRevision = field<4>("0001");
    return n;
}

hba::DiscoveredAdapter adapter(std::string name, uint64_t nodeWwn, uint64_t portWwn, hba::PortId portId) {
    hba::DiscoveredAdapter a;
    a.adapterName = std::move(name);
    a.nodeWwn = wwn(nodeWwn);
    a.portWwn = wwn(portWwn);
    a.portId = portId;
    hba::DeviceNode own;
    own.origin = hba::kOriginScsi;
    own.portType = hba::kPortTypeAdapter;
    own.deviceType = hba::kDeviceTypeHba;
    own.nodeWwn = a.nodeWwn;
    own.portWwn = a.portWwn;
    own.portId = portId;
    a.nodeList.append(own);
    return a;
}

SystemRecord systemS() {
    SystemRecord s;
    s.id = "S";
    return s;
}

std::string value(const ParameterList& p, std::string_view name) {
    for (const auto& node : p.nodes())
        if (node.name == name) return node.value;
    return "<absent>";
}

// A long adapter name: the controller id keeps its width, and the node's reference to it
// is cut alike (ids and escaped texts of ordinary adapters are in the edges documents).
TEST(EntityBuilders, LongAdapterNameCutsIdAndReferenceAlike) {
    const std::vector<hba::DiscoveredAdapter> adapters{adapter(std::string(300, 'N'), 1, 2, {1, 2, 0})};
    const auto controllers = reStructAdapterInfo(systemS(), adapters);
    ASSERT_EQ(controllers.size(), 1u);
    EXPECT_EQ(controllers[0].id.size(), kIdCapacity - 1);
    const auto nodes = reStructDeviceToFCN(systemS(), adapters, {});
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].controllerRef, controllers[0].id);
}

TEST(EntityBuilders, NodeTexts) {
    struct Row {
        const char* product;
        std::string serial;
        uint32_t vendorMark;
        const char* entitySerial;
        const char* nodeName;
    };
    const Row rows[] = {
        {"4807-ARRAY", "ABCDEFGHIJ", 0, "DEFGHIJ", "DEFGHIJ"},    // trimmed to seven
        {"4807", "ABC", 0, "ABC", "ABC"},                         // three characters stay
        {"4806-ARRAY", "ABCDEFGHIJ", 0, "ABCDEFGHIJ", "ABCDEFGHIJ"},
        {"ARRAY", std::string("\x00\x80\xE5<", 4), 1, "0080E53C", "%00%80%E5%3C"},  // marked: hexadecimal
        {"ARRAY", std::string("\x00\x80\xE5<", 4), 0, "%00%80%E5%3C", "%00%80%E5%3C"},
        {"4807-ARRAY", std::string("\x00\x80\xE5<", 4), 1, "0E53C", "%80%E5%3C"},
    };
    for (const Row& row : rows) {
        auto a = adapter("A", 1, 2, {1, 0, 0});
        auto t = target(0x5000000000000001, 0x5000000000000002, row.serial, row.product);
        t.vendorMark = row.vendorMark;
        t.lunList.push_back(unit(0, 0, 0, "U"));
        a.nodeList.append(t);
        const std::vector<hba::DiscoveredAdapter> adapters{a};
        const auto entities = reStructDeviceToPE(adapters);
        ASSERT_EQ(entities.size(), 1u);
        EXPECT_EQ(value(entities[0].parameters, "Serial Number"), row.entitySerial) << row.product;
        const auto nodes = reStructDeviceToFCN(systemS(), adapters, entities);
        EXPECT_EQ(value(nodes[1].parameters, "Name"), row.nodeName) << row.product;
    }
}

// (Every scheme of management address is in the edges documents.) A count beyond the
// list is bounded by the list; type names that no document shows.
TEST(EntityBuilders, ManagementAddressCountAndTypeNames) {
    auto n = target(1, 2, "", "");
    n.mgmtAddress = std::make_shared<hba::MgmtAddressList>(hba::MgmtAddressList{hba::ShortBytes("snmp://y")});
    n.mgmtAddressCount = 99;
    n.platformType = 16;
    n.rnidType = 4;
    const FcNodeRecord node = makeFcNode(n, "", false);
    std::vector<std::string> printed;
    for (const auto& p : node.parameters.nodes()) printed.push_back(p.name + "=" + p.value);
    EXPECT_EQ(printed, (std::vector<std::string>{"WWN=0000000000000001", "Platform Type=Reserved", "RNID Type=Switch",
                                                 "Management Snmp Address=snmp://y"}));
    n.deviceType = 17;
    EXPECT_EQ(makeFcNode(n, "", false).peripheralEntityRef, "") << "an HBA node belongs to its controller";

    const std::tuple<uint32_t, std::string_view, std::string_view, std::string_view> names[] = {
        // value, SCSI type, RNID type, platform type
        {3, "ExternalController", "Hub", "Undefined"},
        {4, "WORM", "Switch", "Undefined"},
        {12, "ExternalController", "Undefined", "Module"},
        {14, "Disk", "Storage Access Device", "Storage Access Device"},
        {15, "Optical", "Undefined", "Reserved"},
        {17, "HBA", "NAS Server", "Reserved"},
        {18, "Unknown", "Bridge", "Reserved"},
    };
    for (const auto& [value, scsi, rnid, platform] : names) {
        EXPECT_EQ(scsiTypeName(value), scsi) << value;
        EXPECT_EQ(hba::rnidTypeName(value), rnid) << value;
        EXPECT_EQ(platformTypeName(value), platform) << value;
    }
    EXPECT_EQ(hba::rnidTypeName(19), "Reserved");
    for (uint32_t t = 19; t <= 30; ++t) EXPECT_EQ(scsiTypeName(t), "Unknown") << t;
    EXPECT_EQ(hba::portTypeName(3), "F/FL_Port");
}

// Identifiers of 255 bytes: the entity id, the units' and the node's references to it are
// all 510 digits, and the units still find their node through the serial text.
TEST(EntityBuilders, LongIdentifiersAreKeptWhole) {
    auto a = adapter("A", 1, 2, {1, 0, 0});
    auto t = target(0x5000000000000001, 0x5000000000000002, std::string(255, 'S'), "ARRAY");
    t.alternateId = hba::ShortBytes(std::string(255, '\xAB'));
    auto u = unit(2, 0, 0, "U0");
    u.inquiryData.assign(256, 'x');
    u.inquiryData[4] = 255;  // says 260 bytes: the field's 256 are escaped
    u.page83Data = {0, 0x83, 0, 200};  // says 204 bytes, four were captured: zeros follow
    t.page83Valid = 1;
    t.lunList.push_back(u);
    a.nodeList.append(t);
    const std::vector<hba::DiscoveredAdapter> adapters{a};
    const auto entities = reStructDeviceToPE(adapters);
    ASSERT_EQ(entities.size(), 1u);
    EXPECT_EQ(entities[0].id.size(), 510u);
    const auto units = assembleLUN(entities, adapters);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].entity, 0u);
    EXPECT_EQ(units[0].address, (DiskAddress{2, 0, 0, 0}));
    UnitParameters shown;
    renderUnitParameters(units[0], shown);
    ParameterList parameters;
    for (const auto& p : shown.list()) parameters.append(p.name, p.value);
    const std::string raw = value(parameters, "rawSTDdata");
    EXPECT_EQ(raw, "xxxx%FF" + std::string(251, 'x'));
    EXPECT_EQ(value(parameters, "raw83data"), "%00%83%00%C8" + [] {
        std::string z;
        for (int i = 0; i < 200; ++i) z += "%00";
        return z;
    }());
    const auto nodes = reStructDeviceToFCN(systemS(), adapters, entities);
    EXPECT_EQ(nodes[1].peripheralEntityRef, entities[0].id);
}

TEST(EntityBuilders, NoAdaptersNoLists) {
    const std::vector<hba::DiscoveredAdapter> one{adapter("A", 1, 2, {1, 0, 0})};
    EXPECT_EQ(reStructAdapterInfo(systemS(), one).size(), 1u);
    const DiscoveredAdapters none;
    EXPECT_TRUE(reStructAdapterInfo(systemS(), none).empty());
    EXPECT_TRUE(reStructDeviceToPE(none).empty());
    EXPECT_TRUE(reStructDeviceToFCN(systemS(), none, {}).empty());
    EXPECT_TRUE(reStructDeviceToFCP(none).empty());
    EXPECT_TRUE(assembleCG({}, {}, reStructDeviceToFCP(one), none).empty());
}

// Two adapters at the same SCSI port number see one array at the same target index: the
// units of both paths have the same addresses, and a physical volume at one of them names
// the first unit only.
TEST(EntityBuilders, PhysicalVolumeNamesTheFirstUnitAtItsAddress) {
    std::vector<hba::DiscoveredAdapter> adapters;
    for (uint8_t i : {0, 1}) {
        auto a = adapter("A" + std::to_string(i), 0x2000000000000000u + i, 0x2100000000000000u + i, {i, 1, 0});
        auto t = target(0x5000000000000001, 0x5000000000000010 + i, "SERIAL-1", "ARRAY");
        for (uint8_t lun = 0; lun < 2; ++lun) t.lunList.push_back(unit(2, 0, lun, "UNIT-" + std::to_string(lun)));
        a.nodeList.append(t);
        adapters.push_back(std::move(a));
    }
    AttributeModel m;
    m.system = systemS();
    m.controllers = reStructAdapterInfo(m.system, adapters);
    m.peripheralEntities = reStructDeviceToPE(adapters);
    m.logicalUnits = assembleLUN(m.peripheralEntities, adapters);
    PhysicalVolumeRecord pv;
    pv.id = "PV-1";
    pv.owner = "S:Windows";
    pv.address = {2, 0, 0, 1};
    m.physicalVolumes.push_back(pv);
    m.fcNodes = reStructDeviceToFCN(m.system, adapters, m.peripheralEntities);
    m.fcPorts = reStructDeviceToFCP(adapters);
    m.connectivityGroups = assembleCG(m.controllers, m.fcNodes, m.fcPorts, adapters);
    completeAttributeModel(m);
    const std::string text = renderAttributeXml(m, {"10.1.1.1", "scanner", "S"});

    const std::string path = std::string(ATTRSCAN_SOURCE_DIR) + "/tests/entities/golden/pv-single-unit.xml";
    if (std::getenv("UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << text;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(text, golden.str());
    EXPECT_NE(text.find("      <LogicalUnitIdXml>LogicalUnitXml:50000000000000102100000000000000LUN1</LogicalUnitIdXml>\n"
                        "   </PhysicalVolumeXml>"),
              std::string::npos);
}

}  // namespace

// The model builder's decisions, one row each: which records the completed model holds
// and what its logical units show.
TEST(ModelBuilder, Decisions) {
    const auto parametersOf = [](const LogicalUnitRecord& lu) {
        UnitParameters shown;
        renderUnitParameters(lu, shown);
        std::string text;
        for (const auto& p : shown.list()) text += p.name + "=" + p.value + ";";
        return text;
    };
    std::string zeros;  // the 37 unset bytes of a unit's identification
    for (int i = 0; i < 37; ++i) zeros += "%00";
    const auto ids = [](const auto& list) {
        std::string text;
        for (const auto& r : list) text += r.id + " ";
        return text;
    };
    struct Row {
        const char* name;
        std::function<void(std::vector<hba::DiscoveredAdapter>&)> change;
        std::function<void(const AttributeModel&)> check;
    };
    const Row rows[] = {
        {"the adapter's node belongs to its controller, by its type",
         [](auto&) {},
         [&](const AttributeModel& m) {
             ASSERT_EQ(m.controllers[0].nodeRefs, std::vector<std::string>{"2000000000000001"});
             EXPECT_EQ(m.fcNodes[0].controllerRef, m.controllers[0].id);
             EXPECT_EQ(m.fcNodes[0].peripheralEntityRef, "");
         }},
        {"a node reporting the adapter's RNID type is still a target",
         [](auto& a) { a[0].nodeList[1].rnidType = hba::kRnidTypeHba; },
         [&](const AttributeModel& m) {
             EXPECT_EQ(m.fcNodes[1].controllerRef, "");
             EXPECT_EQ(m.fcNodes[1].peripheralEntityRef, m.peripheralEntities[0].id);
         }},
        {"a controller without a node gets a placeholder node, and that node a placeholder port",
         [](auto& a) { a[0].nodeList[0].deviceType = hba::kDeviceTypeUnknown; },
         [&](const AttributeModel& m) {
             const std::string& c = m.controllers[0].id;
             EXPECT_EQ(m.controllers[0].nodeRefs, std::vector<std::string>{c});
             EXPECT_EQ(m.fcNodes[0].id, c);
             EXPECT_TRUE(m.fcNodes[0].parameters.empty());
             EXPECT_EQ(m.fcPorts[0].id, c);
             EXPECT_EQ(m.fcPorts[0].nodeRef, c);
             EXPECT_EQ(ids(m.fcPorts), c + " 2100000000000001 5000000000000002 ");
         }},
        {"a target seen through two adapters: one entity and one node, both paths' units and ports",
         [](auto& a) {
             a.push_back(adapter("B", 0x2000000000000003, 0x2100000000000003, {2, 0, 0}));
             auto t = target(0x5000000000000001, 0x5000000000000004, "SERIAL", "ARRAY");
             t.lunList.push_back(unit(3, 0, 0, "U"));
             a[1].nodeList.append(t);
         },
         [&](const AttributeModel& m) {
             EXPECT_EQ(ids(m.peripheralEntities), "5000000000000001 ");
             EXPECT_EQ(ids(m.fcNodes), "2000000000000001 5000000000000001 2000000000000003 ");
             EXPECT_EQ(ids(m.fcPorts), "2100000000000001 5000000000000002 2100000000000003 5000000000000004 ");
             ASSERT_EQ(m.logicalUnits.size(), 2u);
             EXPECT_EQ(m.logicalUnits[1].entity, 0u);
             EXPECT_EQ(m.logicalUnits[1].address, (DiskAddress{3, 0, 0, 0}));
         }},
        {"an unknown capacity is not shown, a capacity of 0 is",
         [](auto& a) { a[0].nodeList[1].lunList[0].capacity = -1; },
         [&](const AttributeModel& m) {
             EXPECT_EQ(parametersOf(m.logicalUnits[0]),
                       "Type=Disk;Vendor ID=ACME    ;Product ID=ARRAY           ;Revision=0001;"
                       "rawSTDdata=%00%00%05%02%03%00%00%02;LUN ID=U" + zeros + ";");
         }},
        {"page 0x83 is shown for a node whose page is valid",
         [](auto& a) {
             a[0].nodeList[1].page83Valid = 1;
             a[0].nodeList[1].lunList[0].capacity = 0;
             a[0].nodeList[1].lunList[0].page83Data = {0, 0x83, 0, 0};
         },
         [&](const AttributeModel& m) {
             EXPECT_EQ(parametersOf(m.logicalUnits[0]),
                       "Type=Disk;Capacity=0;Vendor ID=ACME    ;Product ID=ARRAY           ;Revision=0001;"
                       "rawSTDdata=%00%00%05%02%03%00%00%02;raw83data=%00%83%00%00;LUN ID=U" + zeros + ";");
         }},
        {"a unit beyond the units of the node it is matched with shows empty texts",
         [](auto& a) {
             // Same port and serial as the first target, another node WWN and one unit more.
             auto t = target(0x5000000000000009, 0x5000000000000002, "SERIAL", "ARRAY");
             t.lunList = {unit(2, 0, 0, "V"), unit(2, 0, 1, "W")};
             a[0].nodeList.append(t);
         },
         [&](const AttributeModel& m) {
             ASSERT_EQ(m.logicalUnits.size(), 3u);
             EXPECT_EQ(m.logicalUnits[1].unit, m.logicalUnits[0].unit);
             EXPECT_EQ(m.logicalUnits[2].unit, nullptr);
             EXPECT_EQ(parametersOf(m.logicalUnits[2]),
                       "Type=;Vendor ID=;Product ID=;Revision=;rawSTDdata=;LUN ID=;");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<hba::DiscoveredAdapter> adapters{adapter("A", 0x2000000000000001, 0x2100000000000001, {1, 0, 0})};
        auto t = target(0x5000000000000001, 0x5000000000000002, "SERIAL", "ARRAY");
        t.lunList.push_back(unit(2, 0, 0, "U"));
        t.lunList[0].capacity = 2048;
        adapters[0].nodeList.append(t);
        row.change(adapters);
        driver::HostInventory host;
        host.system = systemS();
        row.check(driver::buildAttributeModel(adapters, host));
    }
}
