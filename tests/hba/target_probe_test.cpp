// Target and logical-unit probing through the simulated library: the target database,
// every branch of REPORT LUNS and INQUIRY, node identity and blank identifiers, and
// answers whose lengths claim more than they hold.
#include <deque>

#include <gtest/gtest.h>

#include "hba/adapter_record.h"
#include "hba/target_probe.h"
#include "tests/hba/san_test_support.h"

namespace {

using santest::Json;

const hba::HbaApi& api() { return santest::simulatedLibrary().api(); }

// The adapter table, the target database and the probe of every valid target, without
// the rest of the scan pass.
struct Probed {
    hba::AdapterTable table;
    std::deque<hba::DiscoveredAdapter> records;
    std::vector<std::vector<bool>> kept;  // per record, per target index
};

Probed probeWorld() {
    Probed p;
    hba::SDInitializeInternals(api(), p.table);
    hba::SDInitializeTargetDatabase(api(), p.table);
    for (const hba::AdapterEntry& entry : p.table.entries) {
        if (!entry.enabled()) continue;
        hba::DiscoveredAdapter& record = p.records.emplace_back();
        hba::fillAdapterRecord(record, entry, "testhost");
        auto& kept = p.kept.emplace_back();
        for (uint32_t j = 0; j < entry.targets.size(); ++j)
            kept.push_back(entry.targets[j].valid && hba::probeTarget(api(), p.table, entry, j, record));
    }
    return p;
}

Json oneAdapterWorld(const Json& discoveredPorts, const std::string& driverVersion = "9.1.2",
                     const std::string& name = "QLogic-QLA2342-0") {
    return santest::worldWithHba(
        {{"adapters", Json::array({santest::adapter(name, "20000000C9000001", driverVersion, discoveredPorts)})}});
}

std::string wwnOf(int n) { return santest::wwnText(0x50, static_cast<uint32_t>(n)); }
std::string portOf(int n) { return santest::wwnText(0x51, static_cast<uint32_t>(n)); }
Json target(int n, const Json& t) {
    char fcId[8];
    std::snprintf(fcId, sizeof fcId, "0102%02X", n);
    return santest::targetPort(wwnOf(n), portOf(n), fcId, t);
}

// Answer bytes as the world's hexadecimal text: head, then fill up to total bytes.
Json rawBytes(std::vector<uint8_t> head, std::size_t total, uint8_t fill) {
    head.resize(total, fill);
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : head) text += {digits[b >> 4], digits[b & 15]};
    return text;
}

hba::Wwn wwnBytes(uint8_t first, uint32_t n) {
    return {first, 0, 0, 0, static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
            static_cast<uint8_t>(n)};
}

std::vector<std::string> callsTo(const santest::World& w, const std::string& call, int n) {
    std::vector<std::string> out;
    for (const std::string& line : w.calls(call))
        if (line.find("wwn=" + portOf(n)) != std::string::npos) out.push_back(line);
    return out;
}

TEST(TargetDatabase, ScsiPortNumberIsTheFirstNonZeroNumberOfTheDeviceName) {
    const std::array<std::pair<std::string_view, uint32_t>, 9> rows = {{
        {"\\\\.\\Scsi2:", 2},
        {"\\\\.\\Scsi0:", 0},
        {"\\\\.\\Scsi10:", 10},
        {"\\\\.\\Scsi007:", 7},
        {"a0b7c", 7},
        {"Port-3", 3},
        {"", 0},
        {"no digits", 0},
        {"Scsi99999999999:", 0xFFFFFFFFu},
    }};
    for (const auto& [name, offset] : rows) EXPECT_EQ(hba::hbaOffsetFromDeviceName(name), offset) << name;
}

TEST(TargetDatabase, PortFailuresCostOnlyTheirAdapterOrTarget) {
    Json noPort = santest::adapter("QLogic-B", "20000000C9000002", "9.1", Json::array({target(1, Json::object())}));
    noPort["port"]["status"] = 1;
    Json ports = Json::array({target(0, {{"units", Json::array({santest::diskUnit(0, "D", "S0")})}}),
                              target(1, {{"units", Json::array({santest::diskUnit(0, "D", "S1")})}})});
    ports[0]["status"] = 8;
    Json good = santest::adapter("QLogic-A", "20000000C9000001", "9.1", ports, "\\\\.\\Scsi4:");
    santest::World w(santest::worldWithHba({{"adapters", Json::array({good, noPort})}}));

    Probed p = probeWorld();
    ASSERT_EQ(p.records.size(), 2u);
    const hba::AdapterEntry& a = p.table.entries[0];
    EXPECT_EQ(a.HBAOffset, 4u);
    EXPECT_EQ(a.portWwn, (hba::Wwn{0x21, 0, 0, 0, 0xC9, 0, 0, 1}));
    EXPECT_EQ(a.portFcId, 0x0A0B0Cu);
    ASSERT_EQ(a.targets.size(), 2u);
    EXPECT_EQ(a.targets[0].valid, 0);
    EXPECT_EQ(a.targets[1].valid, 1);
    ASSERT_EQ(p.records[0].nodeList.size(), 1u);
    EXPECT_EQ(p.records[0].nodeList[0].lunList[0].PortBusTargLun, (std::array<uint8_t, 4>{4, 0, 1, 0}));
    EXPECT_EQ(p.records[0].portId, (hba::PortId{0x0A, 0x0B, 0x0C}));

    const hba::AdapterEntry& b = p.table.entries[1];
    EXPECT_TRUE(b.enabled());
    EXPECT_TRUE(b.targets.empty());
    EXPECT_EQ(p.records[1].portId, (hba::PortId{0, 0, 0}));
    EXPECT_EQ(p.records[1].HBAOffset, 0u);
    EXPECT_TRUE(p.records[1].nodeList.empty());
    EXPECT_EQ(w.calls("HBA_GetDiscoveredPortAttributes").size(), 2u) << "none for the adapter without port";
    EXPECT_TRUE(callsTo(w, "HBA_SendReportLUNs", 0).empty()) << "an unreadable target is not probed";
}

TEST(TargetDatabase, OnlyTheFirst512DiscoveredPortsAreUsed) {
    Json ports = Json::array();
    for (int n = 0; n < 520; ++n)
        ports.push_back({{"nodeWwn", wwnOf(n)}, {"portWwn", portOf(n)}, {"portFcId", "010000"}});  // no SCSI target
    santest::World w(oneAdapterWorld(ports));
    hba::AdapterTable table;
    hba::SDInitializeInternals(api(), table);
    hba::SDInitializeTargetDatabase(api(), table);
    ASSERT_EQ(table.entries[0].targets.size(), 512u);
    const auto reads = w.calls("HBA_GetDiscoveredPortAttributes");
    ASSERT_EQ(reads.size(), 512u);
    EXPECT_NE(reads.back().find("index=511 "), std::string::npos) << reads.back();
}

TEST(ReportLuns, EveryStatusAndListLength) {
    // Targets: 0 an empty list, 1 REPORT LUNS not supported, 2 a failure that drops the
    // target, 3 more than 256 units, 4 an ordinary target after it, 5 a check condition.
    Json many = Json::array();
    for (int n = 1000; n < 1300; ++n) many.push_back(n);  // flat-addressed: entry byte 1 differs from the index
    const Json disk = santest::diskUnit(0, "DISK", "SERIAL");
    Json ports = Json::array({
        target(0, {{"reportLuns", {{"luns", Json::array()}}}, {"units", Json::array({disk})}}),
        target(1, {{"reportLuns", {{"status", 2}}}, {"units", Json::array({disk})}}),
        target(2, {{"reportLuns", {{"status", 3}}}, {"units", Json::array({disk})}}),
        target(3, {{"reportLuns", {{"luns", many}}}, {"anyUnit", disk}}),
        target(4, {{"units", Json::array({santest::diskUnit(2, "A", "S-A"), santest::diskUnit(7, "B", "S-B")})}}),
        target(5, {{"reportLuns", {{"status", 9}, {"sense", {{"key", 5}, {"asc", 0x20}}}}}, {"units", Json::array({disk})}}),
    });
    santest::World w(oneAdapterWorld(ports));
    Probed p = probeWorld();

    EXPECT_EQ(p.kept[0], (std::vector<bool>{true, true, false, true, true, false}));
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 4u);

    // An empty list and an unsupported REPORT LUNS both probe LUN 0 with an all-zero id.
    for (int t : {0, 1}) {
        const hba::DeviceNode& node = nodes[static_cast<std::size_t>(t)];
        EXPECT_EQ(node.portWwn, wwnBytes(0x51, static_cast<uint32_t>(t)));
        ASSERT_EQ(node.lunList.size(), 1u);
        EXPECT_EQ(node.lunList[0].PortBusTargLun, (std::array<uint8_t, 4>{2, 0, static_cast<uint8_t>(t), 0}));
        EXPECT_EQ(node.deviceType, 0) << "a single disk";
        const auto inquiries = callsTo(w, "HBA_SendScsiInquiry", t);
        ASSERT_EQ(inquiries.size(), 3u);
        EXPECT_NE(inquiries[0].find(" lun=0000000000000000 evpd=0 page=00 rsp=252 sense=100 "), std::string::npos)
            << inquiries[0];
        EXPECT_NE(inquiries[1].find(" evpd=1 page=80 "), std::string::npos);
        EXPECT_NE(inquiries[2].find(" evpd=1 page=83 "), std::string::npos);
    }
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 0),
              std::vector<std::string>{"HBA_SendReportLUNs handle=1 wwn=" + portOf(0) + " rsp=2056 sense=100 -> status=0"});
    EXPECT_TRUE(callsTo(w, "HBA_SendScsiInquiry", 2).empty()) << "dropped target";
    EXPECT_TRUE(callsTo(w, "HBA_SendScsiInquiry", 5).empty()) << "dropped target";

    // More than 256: the request is repeated once, 256 units are probed with the index as
    // LUN byte, each with the entry as its id.
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 3).size(), 2u);
    const hba::DeviceNode& capped = nodes[2];
    ASSERT_EQ(capped.lunList.size(), 256u);
    for (uint32_t k = 0; k < 256; ++k)
        ASSERT_EQ(capped.lunList[k].PortBusTargLun, (std::array<uint8_t, 4>{2, 0, 3, static_cast<uint8_t>(k)})) << k;
    const auto cappedInquiries = callsTo(w, "HBA_SendScsiInquiry", 3);
    EXPECT_NE(cappedInquiries.front().find(" lun=43E8000000000000 "), std::string::npos) << cappedInquiries.front();
    EXPECT_EQ(capped.deviceType, hba::kDeviceTypeProcessor) << "more than one unit";

    // The next target is not affected: entry byte 1 is its LUN byte.
    const hba::DeviceNode& after = nodes[3];
    ASSERT_EQ(after.lunList.size(), 2u);
    EXPECT_EQ(after.lunList[0].PortBusTargLun[3], 2);
    EXPECT_EQ(after.lunList[1].PortBusTargLun[3], 7);
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 4).size(), 1u);
}

TEST(ReportLuns, OldQLogicDriverUsesTheOneByteLunForm) {
    Json ports = Json::array({target(0, {{"reportLuns", {{"luns", Json::array({5})}}},
                                         {"units", Json::array({santest::diskUnit(5, "D", "S5")})}})});
    for (const auto& [driver, name, lunText] :
         std::vector<std::tuple<std::string, std::string, std::string>>{{"8.00.07", "QLogic-A", "0500000000000000"},
                                                                        {"8.00.07", "Emulex-A", "0005000000000000"},
                                                                        {"8.00.09", "QLogic-A", "0005000000000000"}}) {
        santest::World w(oneAdapterWorld(ports, driver, name));
        Probed p = probeWorld();
        ASSERT_EQ(p.records[0].nodeList.size(), 1u) << name << driver;
        EXPECT_EQ(p.records[0].nodeList[0].lunList[0].PortBusTargLun[3], 5);
        const auto inquiries = w.calls("HBA_SendScsiInquiry");
        ASSERT_FALSE(inquiries.empty());
        EXPECT_NE(inquiries[0].find(" lun=" + lunText + " "), std::string::npos) << inquiries[0];
    }
}

TEST(Inquiry, UnitsThatAreNotKeptAndUnitsKeptWithoutIdentification) {
    const Json noDevice = {{"lun", 1}, {"inquiry", {{"peripheralQualifier", 3}, {"deviceType", 31}}}};
    const Json failing = {{"lun", 2}, {"inquiry", {{"status", 1}}}};
    const Json withSense = {{"lun", 0}, {"inquiry", {{"sense", {{"key", 2}, {"asc", 4}}}}}};
    Json ports = Json::array({
        target(0, {{"units", Json::array({santest::diskUnit(0, "DISK", "KEEP-0"), noDevice, failing})}}),
        target(1, {{"units", Json::array({withSense})}}),
        target(2, {{"units", Json::array({noDevice})}}),
    });
    santest::World w(oneAdapterWorld(ports));
    Probed p = probeWorld();

    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 2u) << "a target without kept units gets no node";
    EXPECT_EQ(nodes[0].lunList.size(), 1u);
    EXPECT_EQ(nodes[0].deviceType, hba::kDeviceTypeProcessor) << "three units were reported";
    EXPECT_EQ(nodes[0].serialNumber.text(), "KEEP-0");
    EXPECT_EQ(callsTo(w, "HBA_SendScsiInquiry", 0).size(), 5u) << "pages only for the kept unit";

    const hba::DeviceNode& blank = nodes[1];
    ASSERT_EQ(blank.lunList.size(), 1u);
    const hba::LunRecord& lun = blank.lunList[0];
    EXPECT_EQ(lun.deviceType, 0);
    EXPECT_EQ(lun.inquiryIdent, (std::array<uint8_t, 38>{}));
    EXPECT_TRUE(lun.inquiryData.empty());
    EXPECT_EQ(blank.deviceType, hba::kDeviceTypeUnknown);
    EXPECT_EQ(blank.serialNumber.bytes().size(), 8u) << "64 zero bytes are blank: the node WWN stands in";
    EXPECT_TRUE(std::equal(blank.nodeWwn.begin(), blank.nodeWwn.end(), blank.serialNumber.bytes().begin()));
    EXPECT_EQ(callsTo(w, "HBA_SendScsiInquiry", 1).size(), 1u) << "no pages after sense data";
}

TEST(Inquiry, AUnitThatGivesSenseDataLeavesAnIdentifiedNodeAlone) {
    const Json notReady = {{"lun", 1}, {"inquiry", {{"sense", {{"key", 2}, {"asc", 4}, {"ascq", 3}}}}}};
    const Json controller = {{"lun", 0},
                             {"inquiry", {{"deviceType", 12}, {"vendor", "RAIDCO"}}},
                             {"page80", {{"serial", "CTRL-SERIAL"}}}};
    santest::World w(oneAdapterWorld(Json::array({
        target(0, {{"units", Json::array({santest::diskUnit(0, "D", "DISK-SERIAL"), notReady})}}),
        target(1, {{"units", Json::array({controller, notReady})}}),
    })));
    Probed p = probeWorld();
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].serialNumber.text(), "DISK-SERIAL");
    EXPECT_EQ(nodes[0].lunList.size(), 2u);
    EXPECT_EQ(nodes[1].serialNumber.text(), "CTRL-SERIAL");
    EXPECT_EQ(nodes[1].alternateId.text(), "CTRL-SERIAL") << "not 64 zero bytes";
}

TEST(Inquiry, WhichUnitIdentifiesTheNode) {
    auto unit = [](int lun, int type, const std::string& vendor, const std::string& serial) {
        return Json{{"lun", lun},
                    {"inquiry", {{"deviceType", type}, {"vendor", vendor}, {"product", "P" + std::to_string(type)},
                                 {"revision", "R001"}, {"vendorSpecific", "VS-" + serial}}},
                    {"page80", {{"serial", serial}}}};
    };
    Json ports = Json::array({
        target(0, {{"units", Json::array({unit(0, 0, "DISKCO", "D0"), unit(1, 3, "PROCCO", "P1")})}}),
        target(1, {{"units", Json::array({unit(0, 0, "DISKCO", "FIRST"), unit(1, 0, "DISKCO", "SECOND")})}}),
        target(2, {{"units", Json::array({unit(0, 12, "RAIDCO", "CTRL"), unit(1, 3, "PROCCO", "LATER")})}}),
        target(3, {{"units", Json::array({unit(0, 1, "TAPECO", "")})}}),
        target(4, {{"units", Json::array({unit(0, 20, "ODDCO", "ODD")})}}),
        target(5, {{"units", Json::array({unit(0, 17, "OSDCO", "OSD")})}}),
        target(6, {{"units", Json::array({unit(0, 18, "ADCCO", "ADC"), unit(1, 0, "DISKCO", "NOT-ME")})}}),
    });
    santest::World w(oneAdapterWorld(ports));
    Probed p = probeWorld();
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 7u);

    EXPECT_EQ(santest::chars(nodes[0].vendorId), "PROCCO  ");
    EXPECT_EQ(nodes[0].serialNumber.text(), "P1");
    EXPECT_EQ(nodes[0].alternateId.text(), "P1") << "a processor keeps its own second identifier";
    EXPECT_EQ(nodes[0].deviceType, 3);

    EXPECT_EQ(nodes[1].serialNumber.text(), "FIRST");
    EXPECT_EQ(nodes[1].deviceType, 3) << "two units";
    EXPECT_EQ(nodes[1].alternateId.bytes().size(), 8u) << "the node WWN for a disk";

    EXPECT_EQ(nodes[2].serialNumber.text(), "CTRL") << "an array controller keeps its identity";
    EXPECT_EQ(santest::chars(nodes[2].productId), "P12             ");

    // A blank page 0x80 serial: the node WWN stands in.
    EXPECT_EQ(nodes[3].deviceType, 1);
    EXPECT_EQ(nodes[3].serialNumber.bytes().size(), 8u);
    EXPECT_TRUE(std::equal(nodes[3].nodeWwn.begin(), nodes[3].nodeWwn.end(), nodes[3].serialNumber.bytes().begin()));

    EXPECT_EQ(nodes[4].deviceType, 20) << "the peripheral byte as it came";
    EXPECT_EQ(nodes[4].lunList[0].deviceType, 16) << "a unit's type is capped at 16";

    // Object-based storage is not the adapter, and an automation interface is identified.
    EXPECT_EQ(nodes[5].deviceType, hba::kDeviceTypeOther);
    EXPECT_EQ(nodes[6].serialNumber.text(), "ADC");
}

TEST(Inquiry, PagesSetTheVendorMarkAndDeviceIdentification) {
    const Json marked = {{"lun", 0},
                         {"inquiry", {{"deviceType", 0}, {"vendor", "V"}}},
                         {"page80", {{"serialHex", "0080E5112233445566"}}},
                         {"page83", {{"designators", Json::array({{{"hex", "600A0B800011AA22"}}})}}}};
    const Json markAtTheEnd = {{"lun", 0},
                               {"inquiry", {{"deviceType", 0}, {"vendor", "V"}}},
                               {"page80", {{"serialHex", "11223344550080E5"}}}};  // in the part that is not escaped
    const Json page83Fails = {{"lun", 0}, {"inquiry", {{"deviceType", 0}}}, {"page83", {{"status", 1}}}};
    santest::World w(oneAdapterWorld(Json::array({target(0, {{"units", Json::array({marked})}}),
                                                  target(1, {{"units", Json::array({markAtTheEnd})}}),
                                                  target(2, {{"units", Json::array({page83Fails})}})})));
    Probed p = probeWorld();
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].vendorMark, 1u);
    EXPECT_EQ(nodes[0].serialNumber.bytes().size(), 9u);
    EXPECT_EQ(nodes[0].page83Valid, 1);
    const std::vector<uint8_t> page83 = {0x00, 0x83, 0x00, 0x0C, 0x01, 0x03, 0x00, 0x08,
                                         0x60, 0x0A, 0x0B, 0x80, 0x00, 0x11, 0xAA, 0x22};
    EXPECT_EQ(nodes[0].lunList[0].page83Data, page83);
    EXPECT_EQ(nodes[1].vendorMark, 0u);
    EXPECT_EQ(nodes[2].page83Valid, 0);
    EXPECT_TRUE(nodes[2].lunList[0].page83Data.empty());
}

TEST(Inquiry, LengthsClaimingMoreThanTheAnswerHoldsAreBounded) {
    const Json unit = {{"lun", 0},
                       {"inquiry", {{"raw", rawBytes({0x00, 0x00, 0x05, 0x02, 0xFF}, 300, 'I')}}},
                       {"page80", {{"raw", rawBytes({0x00, 0x80, 0xFF, 0xFF}, 300, 'S')}}},
                       {"page83", {{"raw", rawBytes({0x00, 0x83, 0xFF, 0xFF}, 300, 0x83)}}}};
    Json ports = Json::array({
        target(0, {{"units", Json::array({unit})}}),
        // List lengths that claim the largest values: 2055 (256 entries) and 2^32 - 1.
        target(1, {{"reportLuns", {{"listLength", 2055}, {"luns", Json::array({0})}}}, {"anyUnit", unit}}),
        target(2, {{"reportLuns", {{"listLength", "0xFFFFFFFF"}, {"luns", Json::array({0})}}}, {"anyUnit", unit}}),
    });
    santest::World w(oneAdapterWorld(ports));
    Probed p = probeWorld();
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 3u);
    const hba::LunRecord& lun = nodes[0].lunList[0];
    EXPECT_EQ(lun.inquiryData.size(), hba::kInquiryAnswerSize);
    EXPECT_EQ(lun.page83Data.size(), hba::kInquiryAnswerSize);
    EXPECT_EQ(nodes[0].serialNumber.bytes().size(), hba::kInquiryAnswerSize - 4) << "page 0x80 from byte 4 to the end";
    EXPECT_EQ(nodes[0].serialNumber.text(), std::string(hba::kInquiryAnswerSize - 4, 'S'));

    EXPECT_EQ(nodes[1].lunList.size(), 256u);
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 1).size(), 1u);
    EXPECT_EQ(nodes[2].lunList.size(), 256u);
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 2).size(), 2u);
}

TEST(Inquiry, UnitsOfAnAlreadyListedNodeJoinIt) {
    // Two discovered ports with the same node and port WWN: the second target's units go to
    // the node of the first, and its own node is still appended (without units).
    const Json t = {{"units", Json::array({santest::diskUnit(0, "D", "SAME")})}};
    santest::World w(oneAdapterWorld(Json::array({target(0, t), target(0, t)})));
    Probed p = probeWorld();
    const hba::NodeList& nodes = p.records[0].nodeList;
    ASSERT_EQ(nodes.size(), 2u);
    ASSERT_EQ(nodes[0].lunList.size(), 2u);
    EXPECT_EQ(nodes[0].lunList[1].PortBusTargLun, (std::array<uint8_t, 4>{2, 0, 1, 0}));
    EXPECT_TRUE(nodes[1].lunList.empty());
}

}  // namespace
