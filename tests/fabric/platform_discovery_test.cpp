// The fabric configuration server's platforms as discoverPlatformList reads them: the
// reason codes, and the limits of the counted lists and port lists (a platform's name,
// type, addresses, nodes and ports are in the sample and edges documents).
#include <gtest/gtest.h>

#include "base/text.h"
#include "fabric/fabric_queries.h"
#include "tests/fabric/fabric_test_support.h"

namespace {

using fabtest::Json;

Json oneAdapter() { return Json::array({fabtest::adapter("A", "2000000000000001", Json::array())}); }

std::vector<hba::PlatformRecord> discover(int& reasonCode) {
    fabtest::OpenAdapter adapter("A");
    return fabric::discoverPlatformList(fabtest::api(), adapter.handle(), reasonCode);
}

std::string text(const hba::ShortBytes& b) { return std::string(b.text()); }

TEST(FabricPlatforms, ReasonCodes) {
    const Json onePlatform = {{"platforms", Json::array({{{"name", "P"}}})}};
    // 1001 names promised: more than the room for 1000.
    const std::string tooMany = "01000000FA0100008002000000000000000003E9";
    struct Case {
        const char* what;
        Json fabric;
        int reason;
        std::size_t platforms;
    } cases[] = {
        {"no configuration server (status 1)", {{"nameServer", Json::object()}}, fabric::kPlatformListFailed, 0},
        {"name list rejected",
         {{"configServer", onePlatform}, {"ct", Json::array({{{"command", "PLATFORM_NAMES"}, {"reject", Json::object()}}})}},
         fabric::kPlatformListFailed, 0},
        {"name list not supported (status 2)",
         {{"configServer", onePlatform}, {"ct", Json::array({{{"command", "PLATFORM_NAMES"}, {"status", 2}}})}},
         fabric::kPlatformListFailed, 0},
        {"no platforms", {{"configServer", {{"platforms", Json::array()}}}}, fabric::kNoPlatforms, 0},
        {"other failure (status 4)",
         {{"configServer", onePlatform}, {"ct", Json::array({{{"command", "PLATFORM_NAMES"}, {"status", 4}}})}},
         fabric::kNoPlatforms, 0},
        {"more than 1000 names",
         {{"configServer", onePlatform}, {"ct", Json::array({{{"command", "PLATFORM_NAMES"}, {"raw", tooMany}}})}},
         fabric::kNoPlatforms, 0},
        {"one platform", {{"configServer", onePlatform}}, fabric::kPlatformsFound, 1},
    };
    for (const Case& c : cases) {
        santest::World w(fabtest::sanWorld(oneAdapter(), c.fabric));
        int reason = -1;
        EXPECT_EQ(discover(reason).size(), c.platforms) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        if (c.platforms == 0) {
            EXPECT_EQ(fabtest::ctCalls(w).size(), 1u) << c.what << ": only the name list is asked";
        }
    }
}

// A platform's nodes: wwn text of node n of platform p.
std::string node(int p, int n) {
    char t[32];
    std::snprintf(t, sizeof t, "50000000%04X%04X", p, n);
    return t;
}

TEST(FabricPlatforms, ListLimits) {
    Json names = Json::array();
    for (int i = 0; i < 40; ++i) names.push_back({{"name", "P" + std::to_string(100 + i)}});
    santest::World many(fabtest::sanWorld(oneAdapter(), {{"configServer", {{"platforms", names}}}}));
    int reason = -1;
    const auto platforms = discover(reason);
    // The answer buffer holds 32 name blocks although 40 are counted: the rest never
    // arrived, so they are not asked about.
    ASSERT_EQ(platforms.size(), 32u);
    EXPECT_EQ(text(platforms[31].name), "P131");
    EXPECT_EQ(fabtest::ctCalls(many).size(), 1u + 32 * 3);

    auto addresses = [](int n) {
        Json a = Json::array();
        for (int i = 0; i < n; ++i) a.push_back("http://10.0.0." + std::to_string(i));
        return a;
    };
    auto nodeNames = [](int p, int n) {
        Json a = Json::array();
        for (int i = 0; i < n; ++i) a.push_back(node(p, i));
        return a;
    };
    Json ports = Json::array();
    for (int i = 0; i < 300; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "03%04X", i);
        ports.push_back(fabtest::nsPort(id, node(9, 1000 + i), node(6, 0)));
    }
    ports.push_back(fabtest::nsPort("040001", node(8, 0x101), node(8, 0)));
    ports.push_back(fabtest::nsPort("040002", node(8, 0x102), node(8, 0)));
    const Json marked = "01000000FA0200008002000000000000"
                        "80040001000000005000000000080101"
                        "00040002000000005000000000080102";
    const Json fabric = {
        {"nameServer", {{"ports", ports}}},
        {"configServer",
         {{"platforms", Json::array({
                            {{"name", "TEN"}, {"type", 9}, {"managementAddresses", addresses(10)}},
                            {{"name", "ELEVEN"}, {"type", 9}, {"managementAddresses", addresses(11)}},
                            {{"name", "FIFTY"}, {"nodeNames", nodeNames(1, 50)}},
                            {{"name", "FIFTYONE"}, {"nodeNames", nodeNames(2, 51)}},
                            {{"name", "GONE"}, {"nodeNames", nodeNames(3, 1)}},
                            {{"name", "NOTYPE"}, {"type", 5}},
                            {{"name", "WIDE"}, {"nodeNames", Json::array({node(6, 0)})}},
                            {{"name", "MARKED"}, {"nodeNames", Json::array({node(8, 0)})}},
                        })}}},
        {"ct", Json::array({{{"command", "PLATFORM_NODE_NAMES"}, {"platform", "GONE"}, {"status", "0x20000034"}},
                            {{"command", "PLATFORM_TYPE"}, {"platform", "NOTYPE"}, {"status", 1}},
                            {{"command", "PORTS_OF_NODE"}, {"nodeName", node(8, 0)}, {"raw", marked}},
                            {{"command", "GID_PN"}, {"portName", node(8, 0x101)}, {"status", 1}}})}};
    santest::World w(fabtest::sanWorld(oneAdapter(), fabric), /*callLog=*/false);
    const auto found = discover(reason);
    ASSERT_EQ(found.size(), 8u);

    struct Expect {
        const char* name;
        uint32_t type;
        uint32_t addresses;
        std::size_t nodes;
    } expect[] = {
        {"TEN", 9, 10, 0},   {"ELEVEN", 9, 0, 0}, {"FIFTY", 0, 0, 50}, {"FIFTYONE", 0, 0, 0},
        {"GONE", 0, 0, 0},   {"NOTYPE", 0, 0, 0}, {"WIDE", 0, 0, 1},   {"MARKED", 0, 0, 1},
    };
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(text(found[i].name), expect[i].name);
        EXPECT_EQ(found[i].platformType, expect[i].type) << expect[i].name;
        EXPECT_EQ(found[i].mgmtAddressCount, expect[i].addresses) << expect[i].name;
        EXPECT_EQ(found[i].nodes.size(), expect[i].nodes) << expect[i].name;
    }
    EXPECT_EQ(text((*found[0].mgmtAddress)[9]), "http://10.0.0.9");
    for (const auto& n : found[2].nodes) EXPECT_TRUE(n.ports.empty()) << "node unknown to the name server";

    // 300 ports, the last-entry mark beyond the 256 entries the answer holds: 256 ports.
    const auto& wide = found[6].nodes[0].ports;
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(scan::hexText(wide[255].portWwn), node(9, 1000 + 255));
    EXPECT_EQ(wide[255].portId, (hba::PortId{3, 0, 255}));

    // The first entry carries the mark: one port, whose address could not be had.
    const auto& one = found[7].nodes[0].ports;
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(scan::hexText(one[0].portWwn), node(8, 0x101));
    EXPECT_EQ(one[0].portId, (hba::PortId{0, 0, 0}));
}

}  // namespace
