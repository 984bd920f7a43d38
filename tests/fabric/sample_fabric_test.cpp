// The bundled sample world: both adapters walk the shared fabric, so each adapter's list
// ends with the platforms' ports and the ports the name server lists, with their RNID
// types and management addresses.
#include <gtest/gtest.h>

#include "common/text.h"
#include "driver/scan_pass.h"
#include "hba/discovered.h"
#include "tests/fabric/fabric_test_support.h"

namespace {

struct Expected {
    const char* portWwn;
    uint32_t origin;
    uint32_t platformType;
    uint32_t rnidType;
    const char* name;
    std::vector<std::string> addresses;
};

void expectList(const hba::DiscoveredAdapter& adapter, const std::vector<Expected>& expected) {
    ASSERT_EQ(adapter.nodeList.size(), expected.size()) << adapter.adapterName;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const hba::DeviceNode& n = adapter.nodeList[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(adapter.adapterName + " node " + std::to_string(i));
        EXPECT_EQ(scan::hexText(n.portWwn), e.portWwn);
        EXPECT_EQ(n.origin, e.origin);
        EXPECT_EQ(n.platformType, e.platformType);
        EXPECT_EQ(n.rnidType, e.rnidType);
        EXPECT_EQ(n.nodeName.text(), e.name);
        std::vector<std::string> addresses;
        for (uint32_t k = 0; k < n.mgmtAddressCount; ++k) addresses.emplace_back((*n.mgmtAddress)[k].text());
        EXPECT_EQ(addresses, e.addresses);
    }
}

TEST(FabricSample, PlatformsAndRnidInEveryAdapterList) {
    santest::setEnv("SANSIM_WORLD", ATTRSCAN_SOURCE_DIR "/worlds/sample.json");
    santest::setEnv("SANSIM_CALL_LOG", "");
    ASSERT_EQ(driver::discoverSan(fabtest::api(), "sanhost01"), 2);
    const hba::DiscoveredAdapterTable& found = hba::discoveredAdapters();

    const char* arrayA = "200400A0B811AA22";
    const char* arrayB = "200500A0B811AA22";
    const char* host2 = "210000E08B405060";
    const std::string adapterName = "QLA2342 FW:v3.03.19 DVR:v9.1.2.19 sanhost01";
    const std::vector<std::string> arrayAWeb = {"http://10.20.30.90:80"};
    const std::vector<std::string> arrayBWeb = {"http://10.20.30.91:80"};
    const std::vector<std::string> host2Web = {"http://10.20.30.42:8080"};
    const std::vector<std::string> none;

    expectList(found[0], {
                             {arrayA, hba::kOriginScsi, 11, 11, "FA4000-ARRAY01", arrayAWeb},
                             {"100000E002223345", hba::kOriginScsi, 0, 9, "1110045601", {"http://10.20.30.95:8080"}},
                             {"21000020375C6677", hba::kOriginScsi, 0, 0, "3HX0QW7E00007412", none},
                             {"210000E08B102030", hba::kOriginScsi, 0, 7, "FCP0412A77431", none},
                             {arrayB, hba::kOriginPlatform, 11, 11, "FA4000-ARRAY01", arrayBWeb},
                             {host2, hba::kOriginPlatform, 10, 0, "SANHOST02", host2Web},
                             {"210000E08B102031", hba::kOriginRnid, 0, 7, adapterName.c_str(), none},
                         });
    expectList(found[1], {
                             {arrayB, hba::kOriginScsi, 11, 11, "FA4000-ARRAY01", arrayBWeb},
                             {"210000E08B102031", hba::kOriginScsi, 0, 7, "FCP0412A77432", none},
                             {arrayA, hba::kOriginPlatform, 11, 11, "FA4000-ARRAY01", arrayAWeb},
                             {host2, hba::kOriginPlatform, 10, 0, "SANHOST02", host2Web},
                             {"210000E08B102030", hba::kOriginRnid, 0, 7, adapterName.c_str(), none},
                             {"100000E002223345", hba::kOriginRnid, 0, 9, "ADIC Scalar 24 drive port", {"http://10.20.30.95:8080"}},
                         });

    // The array node found by the SCSI scan takes the platform's name as its serial number
    // too, and stays the external controller that its units and RNID make it.
    EXPECT_EQ(found[0].nodeList[0].serialNumber.text(), "FA4000-ARRAY01");
    EXPECT_EQ(found[0].nodeList[0].deviceType, hba::kDeviceTypeProcessor);
}

}  // namespace
