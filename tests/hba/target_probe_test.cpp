// Target and logical-unit probing through the simulated library, for what the probe
// world's trace and document (tests/hba/worlds/probe.json) do not show: the SCSI port
// number of a device name, the LUN id an old QLogic driver is given, a unit that is not
// ready after its node was identified, and answers whose lengths claim more than they hold.
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
};

Probed probeWorld() {
    Probed p;
    hba::SDInitializeInternals(api(), p.table);
    hba::SDInitializeTargetDatabase(api(), p.table);
    for (const hba::AdapterEntry& entry : p.table.entries) {
        if (!entry.enabled()) continue;
        hba::DiscoveredAdapter& record = p.records.emplace_back();
        hba::fillAdapterRecord(record, entry, "testhost");
        for (uint32_t j = 0; j < entry.targets.size(); ++j)
            if (entry.targets[j].valid) hba::mergeTargetFindings(record, hba::probeTarget(api(), p.table, entry, j));
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

TEST(Inquiry, LengthsClaimingMoreThanTheAnswerHoldsAreBounded) {
    const Json unit = {{"lun", 0},
                       {"inquiry", {{"raw", rawBytes({0x00, 0x00, 0x05, 0x02, 0xFF}, 300, 'I')}}},
                       {"page80", {{"raw", rawBytes({0x00, 0x80, 0xFF, 0xFF}, 300, 'S')}}},
                       {"page83", {{"raw", rawBytes({0x00, 0x83, 0xFF, 0xFF}, 300, 0x83)}}}};
    // Flat-addressed LUNs 1000 to 1299: an entry's byte 1 is not its index.
    Json flat = Json::array();
    for (int n = 1000; n < 1300; ++n) flat.push_back(n);
    Json ports = Json::array({
        target(0, {{"units", Json::array({unit})}}),
        // List lengths that claim the largest values: 2055 (256 entries) and 2^32 - 1.
        target(1, {{"reportLuns", {{"listLength", 2055}, {"luns", Json::array({0})}}}, {"anyUnit", unit}}),
        target(2, {{"reportLuns", {{"listLength", "0xFFFFFFFF"}, {"luns", flat}}}, {"anyUnit", unit}}),
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
    // More than 256: asked for again, 256 units probed, each by its entry and numbered by
    // its index.
    ASSERT_EQ(nodes[2].lunList.size(), 256u);
    EXPECT_EQ(callsTo(w, "HBA_SendReportLUNs", 2).size(), 2u);
    EXPECT_EQ(nodes[2].lunList[255].PortBusTargLun, (std::array<uint8_t, 4>{2, 0, 2, 255}));
    const auto inquiries = callsTo(w, "HBA_SendScsiInquiry", 2);
    ASSERT_FALSE(inquiries.empty());
    EXPECT_NE(inquiries.back().find(" lun=44E7000000000000 "), std::string::npos) << inquiries.back();
}

}  // namespace
