// The scan's trace end to end: the program runs on a small world with a properties file
// that sends the trace logger's records, in the basic format with a fixed date text and
// "|" between the fields, to a file; the discovery lines must appear with their exact
// texts, methods and line numbers, in the order the scan makes them.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/hba/scan_trace.h"

namespace {

using santest::Json;
using santest::record;

std::string zeros(std::size_t bytes) { return std::string(bytes * 2, '0'); }

Json traceWorld() {
    Json unopenable = santest::adapter("QLogic-A", "2000000000000001", "9.1", Json::array());
    unopenable["openFails"] = true;
    const Json disk = {{"lun", 0},
                       {"inquiry", {{"raw", "00000502 1F000002 4152524159434F20 4249474152524159202020202020202030303031"}}},
                       {"page80", {{"raw", "00800004 53313233"}}},
                       {"page83", {{"raw", "0083000C 01030008 600A0B8000112233"}}}};
    const Json absent = {{"lun", 0}, {"inquiry", {{"raw", "7F00050200"}}}};
    Json ports = Json::array({
        santest::targetPort("5000000000000001", "5100000000000001", "010203",
                            {{"reportLuns", {{"luns", Json::array({0})}}}, {"units", Json::array({disk})}}),
        santest::targetPort("5000000000000002", "5100000000000002", "010204",
                            {{"reportLuns", {{"status", 2}}}, {"units", Json::array({absent})}}),
        santest::targetPort("5000000000000003", "5100000000000003", "010205",
                            {{"reportLuns", {{"status", 3}, {"sense", "700005"}}}, {"units", Json::array({disk})}}),
    });
    // An old QLogic driver: no RNID, one-byte LUN ids.
    Json enabled = santest::adapter("QLogic-B", "2000000000000002", "8.00.07", ports, "\\\\.\\Scsi3:");
    enabled["attributes"]["serialNumber"] = "SN-B";
    return santest::worldWithHba({{"adapters", Json::array({unopenable, enabled})}});
}

std::string traceOfScan(const Json& world) {
    return santest::traceOfScan(world, ATTRSCAN_BINARY_DIR "/tests/hba/trace-home");
}

TEST(ScanTrace, DiscoveryLinesInOrder) {
    const std::string trace = traceOfScan(traceWorld());
    if (trace.empty()) GTEST_SKIP() << "the logging toolkit in this build writes no records";

    const std::string sdi = "SDInitializeInternals";
    // The 36 bytes of the standard answer and one more (additional length 0x1F + 6).
    const std::string inquiry =
        "000005021F000002" "4152524159434F20" "42494741525241592020202020202020" "30303031" "00";
    const std::vector<std::string> expected = {
        record("Main", 325, "Entering Attribute Scanner"),
        record("Main", 354, "Initialize the Adapter Table....."),
        record(sdi, 1502, "entering ... Adapter Table Initialization"),
        record(sdi, 1511, "There are 2 adapters in this system."),
        record(sdi, 1525, "Adapter 0 is named QLogic-A"),
        record(sdi, 1541, "Failed to open QLogic-A"),
        record(sdi, 1525, "Adapter 1 is named QLogic-B"),
        record(sdi, 1535, "Successfully opened QLogic-B "),
        record(sdi, 1590, "HBA Node WWN from Adapter attributes  : 0x2000000000000002"),
        record(sdi, 1591, "HBA Device Driver Version  8.00.07"),
        record(sdi, 1626, "No RNID support in this scan"),
        record(sdi, 1630, "Qlogic specific LunID implementation used"),
        record(sdi, 1661, "exiting ... Adapter Table Initialization, 1 adapters enabled"),
        record("Main", 365, "Adapter Table initialization is successful"),
        record("Main", 372, "Initialize each adapter's target devices....."),
        record("Main", 379, "SDInitializeTargetDatabase() Entering..."),
        record("Main", 416, "Adapter 1, HBAOffset is 3, OSDeviceName is \\\\.\\Scsi3:"),
        record("Main", 436, "HBA Node WWN from HBA Port Attribute  : 0x2000000000000002"),
        record("Main", 437, "HBA Port WWN from HBA Port Attribute  : 0x2100000000000002"),
        record("Main", 446, "SDInitializeTargetDatabase() Discovered 3 targets for adapter 1"),
        record("Main", 453, "SDInitializeTargetDatabase() Initializing target 0"),
        record("Main", 453, "SDInitializeTargetDatabase() Initializing target 2"),
        record("Main", 470, "Exiting SDInitializeTargetDatabase()..."),
        record("Main", 479, "Adapter's target devices initialization are complete..."),
        // Target 0: one unit, identified by all three pages.
        record("Main", 584, "ReportLUNs succeeded, the number of LUNs = 1"),
        record("Main", 617, "ReportLUNs info  : 0x00000008" + zeros(12)),
        record("Main", 688, "Old Qlogic device driver was found, Using Qlogic defined LunId"),
        record("Main", 748, "LUN0, Scsi standard page inquiry succeeded with 0"),
        record("Main", 749, "Inquiry Output : 0x" + inquiry),
        record("Main", 819, "LUN0, Scsi page code = 80 inquiry succeeded with 0"),
        record("Main", 820, "Inquiry Output : 0x0080000453313233"),
        record("Main", 852, "LUN0, Scsi page code = 83 inquiry succeeded with 0"),
        record("Main", 853, "Inquiry Output : 0x0083000C01030008600A0B8000112233"),
        // Target 1: no REPORT LUNS, and LUN 0 is not a device.
        record("Main", 632, "ReportLUNs command failed, RC = 2"),
        record("Main", 636, "ReportLUNs output  : 0x" + zeros(100)),
        record("Main", 738, "LUN0, Unsupported device standard page inquiry succeeded with 0"),
        record("Main", 739, "Inquiry Output : 0x7F0005020000"),
        // Target 2: dropped.
        record("Main", 647, "ReportLUNs command failed, RC = 3"),
        record("Main", 651, "ReportLUNs output  : 0x" + zeros(100)),
        record("Main", 654, "ReportLUNs Sense output  : 0x700005" + zeros(97)),
        record("Main", 1404, "\nPortsurvey succeeds with Return Code = 0...."),
        record("Main", 1406, "\n\nDiscover result is...\n\n"),
        record("GXLogAdapter", 2993,
               "\n\nAdapter[0]: \n\n\tAdapter Name  : QLogic-B \n\tHost Name     : TESTHOST \n\tNode WWN      : "
               "0x2000000000000002\n\tPortID        : 0x0A0B0C\n"),
        record("GXLogNode", 3132,
               "\n\tDevice 0:                 \n\t\tDevice Type   : Disk\t\t\t\t\n\t\tSerial Number : "
               "0x53313233\t\t\t\t\n\t\tVendor        : 0x4152524159434F20\t\t\t\t\n\t\tProductID     : "
               "0x42494741525241592020202020202020\t\t\t\t\n\t\tNode WWN      : 0x5000000000000001\t\t\t\t\n\t\tPort "
               "WWN      : 0x5100000000000001\t\t\t\t\n\t\tPort Type     : NL_Port\t\t\t\t\n\t\tPortID        : "
               "0x010203\t\t\t\t\n\t\tRNID Type     : Undefined\n\n"),
        record("GXLogLunInfo", 3197,
               "\n\t\tLun 0: \n\t\t\tSerial Number : 0x0000000000000000 \n\t\t\tPortBusTargLun: 0x03000000 "
               "\n\t\t\tCapacity      : -1\n"),
        record("GXLogNode", 3132,
               "\n\tDevice 1:                 \n\t\tDevice Type   : HBA\t\t\t\t\n\t\tSerial Number : "
               "0x534E2D42\t\t\t\t\n\t\tVendor        : 0x" + zeros(8) + "\t\t\t\t\n\t\tProductID     : 0x" +
                   zeros(16) + "\t\t\t\t\n\t\tNode WWN      : 0x2000000000000002\t\t\t\t\n\t\tPort WWN      : "
                   "0x2100000000000002\t\t\t\t\n\t\tPort Type     : N_Port\t\t\t\t\n\t\tPortID        : "
                   "0x0A0B0C\t\t\t\t\n\t\tRNID Type     : Undefined\n\n"),
    };
    std::size_t at = 0;
    ASSERT_EQ(testsupport::missingInOrder(trace, expected, &at), "") << trace;
    EXPECT_EQ(trace.find("|Main|453|SDInitializeTargetDatabase() Initializing target 3"), std::string::npos);
    EXPECT_EQ(trace.find("|GXLogLunInfo|", at), std::string::npos) << "no unit blocks for the adapter's own node";
}

TEST(ScanTrace, FailureLinesInOrder) {
    const Json disk = {{"lun", 0},
                       {"inquiry", {{"raw", "00000502 1F000002 4152524159434F20 4249474152524159202020202020202030303031"}}}};
    Json pagesFail = disk;
    pagesFail["lun"] = "4102000000000000";
    pagesFail["page80"] = {{"status", 1}};
    pagesFail["page83"] = {{"status", 1}};
    const Json inquiryFails = {{"lun", 0}, {"inquiry", {{"status", 5}, {"sense", "700005"}}}};
    // More than 256 flat-addressed units: entry byte 1 differs from the entry's index.
    Json many = Json::array();
    for (int n = 1000; n < 1300; ++n) many.push_back(n);
    Json unreadable = santest::targetPort("5000000000000009", "5100000000000009", "010209", Json::object());
    unreadable["status"] = 8;
    Json noPort = santest::adapter("QLogic-A", "2000000000000001", "9.1", Json::array());
    noPort["port"]["status"] = 1;
    Json ports = Json::array({
        unreadable,
        santest::targetPort("5000000000000001", "5100000000000001", "010201", {{"units", Json::array({pagesFail})}}),
        santest::targetPort("5000000000000002", "5100000000000002", "010202", {{"units", Json::array({inquiryFails})}}),
        santest::targetPort("5000000000000003", "5100000000000003", "010203",
                            {{"reportLuns", {{"luns", many}}}, {"anyUnit", disk}}),
    });
    Json adapters = Json::array({noPort, santest::adapter("QLogic-B", "2000000000000002", "9.1", ports)});
    const std::string trace = traceOfScan(santest::worldWithHba({{"adapters", adapters}}));
    if (trace.empty()) GTEST_SKIP() << "the logging toolkit in this build writes no records";

    const std::string sdi = "SDInitializeInternals";
    ASSERT_EQ(testsupport::missingInOrder(trace, {
        record(sdi, 1623, "RNID support in this scan"),
        record(sdi, 1633, "SCSI LunID implementation used"),
        record("Main", 390, "HBA_GetAdapterPortAttributes failed: RC = 1"),
        record("Main", 446, "SDInitializeTargetDatabase() Discovered 4 targets for adapter 1"),
        record("Main", 459, "HBA_GetDiscoveredPortAttributes failed: target number = 0, rc = 8"),
        // Target 1: a flat-addressed LUN whose pages fail.
        record("Main", 705, "LUNId = : 0x4102000000000000"),
        record("Main", 748, "LUN2, Scsi standard page inquiry succeeded with 0"),
        record("Main", 827, "LUN2, Scsi page code = 80 inquiry failed with 1"),
        record("Main", 865, "LUN2, Scsi page code = 83 inquiry failed with 1"),
        // Target 2: the standard INQUIRY fails.
        record("Main", 887, "LUN0 Scsi Standard page Inquiry failed with 5"),
        record("Main", 891, "Scsi Inquiry Output : 0x" + zeros(100)),
        record("Main", 894, "Scsi Inquiry Sense Output : 0x700005" + zeros(97)),
        // Target 3: more than 256 units, asked for again; 256 are probed, each by its
        // entry, numbered by its index.
        record("Main", 584, "ReportLUNs succeeded, the number of LUNs = 300"),
        record("Main", 596, "ReportLUNs Retry , the number of LUNs = 300"),
        record("Main", 705, "LUNId = : 0x43E8000000000000"),
        record("Main", 748, "LUN0, Scsi standard page inquiry succeeded with 0"),
        record("Main", 705, "LUNId = : 0x44E7000000000000"),
        record("Main", 748, "LUN255, Scsi standard page inquiry succeeded with 0"),
        record("Main", 1404, "\nPortsurvey succeeds with Return Code = 0...."),
    }), "") << trace.substr(0, 4000);
    EXPECT_EQ(trace.find("ReportLUNs info", trace.find("number of LUNs = 300")), std::string::npos)
        << "no list dump when the list is cut";
}

// The whole trace of a world of probing cases, byte for byte: every REPORT LUNS and
// INQUIRY line, and the discovered lists as the scan leaves them (each node's type,
// serial number, vendor, product, WWNs and address, each unit's address).
TEST(ScanTrace, ProbeWorldMatchesGolden) {
    const std::string world = testsupport::readFile(ATTRSCAN_SOURCE_DIR "/tests/hba/worlds/probe.json");
    ASSERT_FALSE(world.empty());
    const std::string trace = traceOfScan(Json::parse(world));
    if (trace.empty()) GTEST_SKIP() << "the logging toolkit in this build writes no records";
    EXPECT_EQ(testsupport::compareWithGolden(ATTRSCAN_SOURCE_DIR "/tests/hba/golden/probe-trace.txt", trace), "");
}

}  // namespace
