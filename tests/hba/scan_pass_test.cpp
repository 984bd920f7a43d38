// The scan pass: the order of the requests, full
// tables (32 adapters of 512 targets), and a running overlap that never scans.
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "driver/scan_pass.h"
#include "hba/discovered.h"
#include "tests/hba/san_test_support.h"

namespace {

using santest::Json;

const hba::HbaApi& api() { return santest::simulatedLibrary().api(); }

// The fabric steps (CT pass-through, RNID) are left out: their own tests follow them.
std::vector<std::string> scsiCalls(const santest::World& w) {
    std::vector<std::string> out;
    for (const std::string& line : w.calls())
        if (line.rfind("HBA_SendCTPassThru", 0) != 0 && line.rfind("HBA_SendRNID", 0) != 0) out.push_back(line);
    return out;
}

TEST(ScanPass, RequestsInTheirOrder) {
    Json disabled = santest::adapter("QLogic-A", "2000000000000001", "9.1", Json::array());
    disabled["openFails"] = true;
    const Json disk = {{"lun", 0},
                       {"inquiry", {{"deviceType", 0}, {"vendor", "ARRAYCO"}, {"product", "BIGARRAY"}}},
                       {"page80", {{"serial", "ARR-0001"}}},
                       {"page83", {{"designators", Json::array({{{"hex", "600A0B8000112233"}}})}}}};
    Json enabled = santest::adapter("QLogic-B", "2000000000000002", "9.1",
                                    Json::array({santest::targetPort("5000000000000001", "5100000000000001", "010203",
                                                                     {{"units", Json::array({disk})}})}),
                                    "\\\\.\\Scsi3:");
    enabled["attributes"]["serialNumber"] = "QB-SERIAL";
    santest::World w(santest::worldWithHba({{"adapters", Json::array({disabled, enabled})}}));

    const hba::SanDiscovery san = driver::discoverSan(api(), "host.example.com");

    const std::string target = "wwn=5100000000000001";
    const std::vector<std::string> expected = {
        "HBA_LoadLibrary -> status=0",
        "HBA_GetNumberOfAdapters -> count=2",
        "HBA_GetAdapterName index=0 -> status=0 name=\"QLogic-A\"",
        "HBA_OpenAdapter name=\"QLogic-A\" -> handle=0",
        "HBA_GetAdapterName index=1 -> status=0 name=\"QLogic-B\"",
        "HBA_OpenAdapter name=\"QLogic-B\" -> handle=1",
        "HBA_RefreshInformation handle=1",
        "HBA_GetAdapterAttributes handle=1 -> status=0",
        "HBA_GetVersion -> version=2",
        "HBA_GetAdapterPortAttributes handle=1 port=0 -> status=0",
        "HBA_GetDiscoveredPortAttributes handle=1 port=0 index=0 -> status=0",
        "HBA_SendReportLUNs handle=1 " + target + " rsp=2056 sense=100 -> status=0",
        "HBA_SendScsiInquiry handle=1 " + target + " lun=0000000000000000 evpd=0 page=00 rsp=252 sense=100 -> status=0",
        "HBA_SendScsiInquiry handle=1 " + target + " lun=0000000000000000 evpd=1 page=80 rsp=252 sense=100 -> status=0",
        "HBA_SendScsiInquiry handle=1 " + target + " lun=0000000000000000 evpd=1 page=83 rsp=252 sense=100 -> status=0",
        "HBA_CloseAdapter handle=1",
        "HBA_FreeLibrary -> status=0",
    };
    EXPECT_EQ(scsiCalls(w), expected);

    // (The record it leaves, the first enabled adapter's as record 0 with the adapter's own
    // node last, is in the old-driver trace golden.)
    EXPECT_EQ(san.adapters.size(), 1u);
}

TEST(ScanPass, NoAdaptersStillReleasesTheLibrary) {
    santest::World w(santest::worldWithHba(Json::object()));
    EXPECT_TRUE(driver::discoverSan(api(), "h").adapters.empty());
    EXPECT_EQ(w.calls(), (std::vector<std::string>{"HBA_LoadLibrary -> status=0", "HBA_GetNumberOfAdapters -> count=0",
                                                   "HBA_FreeLibrary -> status=0"}));
}

TEST(ScanPass, ThirtyTwoAdaptersOf512TargetsEach) {
    // Every slot of the tables in use: 32 adapters, each with 512 single-disk targets; the
    // world has 40 adapters, and 520 targets on the first, which the tables have no room for.
    Json adapters = Json::array();
    for (uint32_t a = 0; a < 40; ++a) {
        Json ports = Json::array();
        for (uint32_t t = 0; t < (a == 0 ? 520u : 512u); ++t) {
            const uint32_t id = a << 16 | t;
            // Kept small: the world file of 16384 targets is read (and checked) by the library.
            ports.push_back({{"nodeWwn", santest::wwnText(0x50, id)},
                             {"portWwn", santest::wwnText(0x51, id)},
                             {"target", {{"units", Json::array({{{"lun", 0}, {"inquiry", Json::object()}}})}}}});
        }
        // A driver without RNID: the test is about the SCSI side of a full table.
        adapters.push_back(santest::adapter("QLogic-" + std::to_string(a), santest::wwnText(0x20, a), "8.00.09", ports,
                                            "\\\\.\\Scsi" + std::to_string(a + 1) + ":"));
    }
    santest::World w(santest::worldWithHba({{"adapters", adapters}}), /*callLog=*/false);

    const hba::SanDiscovery san = driver::discoverSan(api(), "h");
    const std::vector<hba::DiscoveredAdapter>& found = san.adapters;
    ASSERT_EQ(found.size(), 32u);
    for (uint32_t a = 0; a < 32; ++a) {
        const hba::NodeList& nodes = found[a].nodeList;
        ASSERT_EQ(nodes.size(), 513u) << a;
        for (uint32_t t = 0; t < 512; ++t) {
            const hba::DeviceNode& node = nodes[t];
            ASSERT_EQ(node.portWwn[7], static_cast<uint8_t>(t)) << a << "/" << t;
            ASSERT_EQ(node.lunList.size(), 1u) << a << "/" << t;
            ASSERT_EQ(node.lunList[0].PortBusTargLun,
                      (std::array<uint8_t, 4>{static_cast<uint8_t>(a + 1), 0, static_cast<uint8_t>(t), 0}));
        }
        EXPECT_EQ(nodes[512].deviceType, hba::kDeviceTypeHba);
    }
}

#ifndef _WIN32
int runScanner(const std::string& arguments) {
    const std::string command = "LD_LIBRARY_PATH=" ATTRSCAN_BINARY_DIR "/sim " ATTRSCAN_BINARY_DIR
                                "/driver/attrscan " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

TEST(ScanPass, ARunningOverlapNeverLoadsTheLibrary) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows program is run end to end under wine by hba_wine_san_e2e";
#else
    santest::World w(santest::worldWithHba(
        {{"adapters", Json::array({santest::adapter("QLogic-A", "2000000000000001", "9.1", Json::array())})}}));

    EXPECT_EQ(runScanner("10.1.1.1 scanner GUID Running"), 100);
    EXPECT_FALSE(std::ifstream(w.callLogPath()).good()) << "a running overlap never loads the library";

    // (A scan that runs is checked end to end by the entity documents, PE mode included.)
#endif
}

}  // namespace
