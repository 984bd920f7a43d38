// RNID identification along the name server's entries: the request bytes, the names the
// nodes get, and where the walk ends. (The decoding of the answers is the rnid-decoding
// world's document; RNID per target, when the name server does not answer, is in the
// fabric trace golden; how answers merge into SCSI nodes shows in the sample and edges
// documents.)
#include <gtest/gtest.h>

#include "base/text.h"
#include "driver/scan_pass.h"
#include "hba/discovered.h"
#include "tests/fabric/fabric_test_support.h"

namespace {

using fabtest::Json;

// The first discovered adapter of a scan of the current world (kept until the next scan).
const hba::DiscoveredAdapter& scan(std::size_t adapters = 1) {
    static hba::SanDiscovery san;
    san = driver::discoverSan(fabtest::api(), "host");
    EXPECT_EQ(san.adapters.size(), adapters);
    return san.adapters.at(0);
}

std::string text(const hba::ShortBytes& b) { return std::string(b.text()); }

std::string zeros(std::size_t bytes) { return std::string(2 * bytes, '0'); }

// Calls of one kind, each cut to what follows the handle.
std::vector<std::string> rnidCalls(const santest::World& w) {
    std::vector<std::string> out;
    for (const std::string& line : w.calls("HBA_SendRNID")) out.push_back(line.substr(line.find(" wwn=") + 1));
    return out;
}

TEST(RnidTargets, NoRequestWhenTheDriverDoesNotSupportIt) {
    const Json targets = Json::array({fabtest::diskTarget("5000000000000101", "5000000000000111", "010101", "S")});
    const Json fabric = {
        {"rnid", Json::array({{{"portName", "5000000000000111"}, {"associatedType", 11}}})},
        {"nameServer", {{"ports", Json::array({fabtest::nsPort("010101", "5000000000000111", "5000000000000101")})}}}};
    santest::World w(fabtest::sanWorld(
        Json::array({fabtest::adapter("QLogic-A", "2000000000000001", targets, /*rnid=*/false)}), fabric));
    const hba::DiscoveredAdapter& a = scan();
    EXPECT_TRUE(w.calls("HBA_SendRNID").empty());
    EXPECT_EQ(a.nodeList[0].rnidType, 0u);
    // The name server answered, so the other requests are only the probe and the platforms.
    EXPECT_EQ(fabtest::ctCalls(w).size(), 2u);
}

TEST(RnidWalk, RequestsNamesAndOrder) {
    Json p1 = fabtest::nsPort("010200", "5100000000000001", "5000000000000001");
    p1["symbolicNodeName"] = "ARRAY NODE";
    p1["symbolicPortName"] = "ARRAY PORT";
    Json p2 = fabtest::nsPort("0102E8", "5100000000000002", "5000000000000002");
    p2["symbolicPortName"] = "TAPE PORT";
    Json p3 = fabtest::nsPort("020300", "5100000000000003", "5000000000000003");
    Json rnid = Json::array();
    for (const char* port : {"5100000000000001", "5100000000000002", "5100000000000003"})
        rnid.push_back({{"portName", port}, {"associatedType", 9}});
    // The adapter's own port is listed too, and its answer merges into its own node.
    Json own = fabtest::nsPort("010100", "2100000000000001", "2000000000000001");
    rnid.push_back({{"portName", "2100000000000001"}, {"associatedType", 7}});
    santest::World w(fabtest::sanWorld(Json::array({fabtest::adapter("QLogic-A", "2000000000000001", Json::array())}),
                                       {{"nameServer", {{"ports", Json::array({own, p1, p2, p3})}}}, {"rnid", rnid}}));
    const hba::DiscoveredAdapter& a = scan();

    // Each request carries the node name and the address in reverse byte order.
    EXPECT_EQ(rnidCalls(w), (std::vector<std::string>{
                                "wwn=2100000000000001 type=1 room=76 buf=2000000000000001000101" + zeros(65) +
                                    " -> status=0 size=76",
                                "wwn=5100000000000001 type=1 room=76 buf=5000000000000001000201" + zeros(65) +
                                    " -> status=0 size=76",
                                "wwn=5100000000000002 type=1 room=76 buf=5000000000000002E80201" + zeros(65) +
                                    " -> status=0 size=76",
                                "wwn=5100000000000003 type=1 room=76 buf=5000000000000003000302" + zeros(65) +
                                    " -> status=0 size=76",
                            }));

    ASSERT_EQ(a.nodeList.size(), 4u);
    EXPECT_EQ(a.nodeList[0].deviceType, hba::kDeviceTypeHba);
    EXPECT_EQ(a.nodeList[0].rnidType, 7u);
    EXPECT_EQ(text(a.nodeList[0].nodeName), text(a.nodeList[0].serialNumber)) << "the adapter keeps its serial";
    const std::string names[] = {"ARRAY NODE", "TAPE PORT", "5000000000000003"};
    for (std::size_t k = 1; k < 4; ++k) {
        const hba::DeviceNode& n = a.nodeList[k];
        EXPECT_EQ(n.origin, hba::kOriginRnid);
        EXPECT_EQ(n.portType, hba::kPortTypeUndefined);
        EXPECT_EQ(n.deviceType, 0);
        EXPECT_TRUE(n.protocol.empty());
        EXPECT_EQ(text(n.nodeName), names[k - 1]);
        EXPECT_EQ(n.rnidType, 9u);
    }
    EXPECT_EQ(a.nodeList[2].portId, (hba::PortId{1, 2, 0xE8}));
}

TEST(RnidWalk, EndsWhereTheChainEnds) {
    auto port = [](int n) {
        char id[7], wwn[17], node[17];
        std::snprintf(id, sizeof id, "0101%02X", n);
        std::snprintf(wwn, sizeof wwn, "51000000000000%02X", n);
        std::snprintf(node, sizeof node, "50000000000000%02X", n);
        return fabtest::nsPort(id, wwn, node);
    };
    Json rnid = Json::array();
    for (int n = 1; n <= 3; ++n) {
        char wwn[17];
        std::snprintf(wwn, sizeof wwn, "51000000000000%02X", n);
        rnid.push_back({{"portName", wwn}, {"associatedType", 9}});
    }
    struct Case {
        const char* what;
        Json ports;
        Json ct;
        std::vector<std::string> asked;  // RNID requests, by port WWN
        std::size_t nextRequests;        // GA_NXT requests, the probe included
    } cases[] = {
        {"a single entry comes back to itself", Json::array({port(1)}), Json::array(), {"5100000000000001"}, 2},
        {"the ring closes at the first address",
         Json::array({port(1), port(2), port(3)}),
         Json::array(),
         {"5100000000000001", "5100000000000002", "5100000000000003"},
         4},
        {"a failed next-entry request ends the walk",
         Json::array({port(1), port(2), port(3)}),
         Json::array({{{"command", "GA_NXT"}, {"portId", "010102"}, {"status", 1}}}),
         {"5100000000000001", "5100000000000002"},
         3},
        {"a rejected next-entry request ends the walk",
         Json::array({port(1), port(2), port(3)}),
         Json::array({{{"command", "GA_NXT"}, {"portId", "010101"}, {"reject", Json::object()}}}),
         {"5100000000000001"},
         2},
        {"a chain that loops without coming back ends at an address seen before",
         Json::array({port(1), port(2), port(3)}),
         Json::array({{{"command", "GA_NXT"},
                       {"portId", "010103"},
                       {"raw", fabtest::nextEntryAnswer("010102", "5100000000000002", "5000000000000002")}}}),
         {"5100000000000001", "5100000000000002", "5100000000000003"},
         4},
    };
    for (const Case& c : cases) {
        Json fabric = {{"nameServer", {{"ports", c.ports}}}, {"rnid", rnid}, {"ct", c.ct}};
        santest::World w(
            fabtest::sanWorld(Json::array({fabtest::adapter("QLogic-A", "2000000000000001", Json::array())}), fabric));
        const hba::DiscoveredAdapter& a = scan();
        std::vector<std::string> asked;
        for (const std::string& call : rnidCalls(w)) asked.push_back(call.substr(4, 16));
        EXPECT_EQ(asked, c.asked) << c.what;
        std::size_t next = 0;
        for (const std::string& req : fabtest::ctCalls(w))
            if (req.rfind(fabtest::preamble(0xFC, 0x02, 0x0100), 0) == 0) ++next;
        EXPECT_EQ(next, c.nextRequests) << c.what;
        EXPECT_EQ(a.nodeList.size(), 1 + c.asked.size()) << c.what;
    }
}

}  // namespace
