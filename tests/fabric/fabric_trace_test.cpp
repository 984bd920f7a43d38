// The trace lines of the fabric steps, end to end: the program runs on a small world with
// a properties file that sends the trace logger's basic records ("|" between the fields,
// a fixed date text) to a file.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/fabric/fabric_test_support.h"
#include "tests/hba/scan_trace.h"
#include "tests/support/run_program.h"

namespace {

using fabtest::Json;

using santest::record;

std::string traceOfScan(const Json& world) {
    return santest::traceOfScan(world, ATTRSCAN_BINARY_DIR "/tests/fabric/trace-home");
}

TEST(FabricTrace, RnidAndPlatformLines) {
    const Json targets = Json::array({
        fabtest::diskTarget("5000000000000001", "5100000000000001", "010201", "S1"),
        fabtest::diskTarget("5000000000000002", "5100000000000002", "010202", "S2"),
    });
    Json isolated = fabtest::adapter("QLogic-B", "2000000000000002", targets);
    isolated["fabric"] = nullptr;
    const Json fabric = {
        {"configServer", {{"platforms", Json::array({{{"name", "P"}}})}}},
        {"rnid", Json::array({{{"portName", "5100000000000001"}, {"nodeName", "5000000000000001"},
                               {"associatedType", 11}}})}};
    const std::string trace = traceOfScan(fabtest::sanWorld(
        Json::array({fabtest::adapter("QLogic-A", "2000000000000001", targets), isolated}), fabric));
    if (trace.empty()) GTEST_SKIP() << "the logging toolkit in this build writes no records";

    const std::string answer = "02000000DF100034" "5100000000000001" "5000000000000001" + std::string(32, '0') +
                               "0000000B" + std::string(56, '0');
    const std::vector<std::string> expected = {
        record("Main", 1131, "SCSI Device - HBA_SendRNID works"),
        record("Main", 1135, "RNID Data : 0x" + answer),
        record("Main", 1144, "SCSI Device - HBA_SendRNID fails with return code = 13"),
        record("Main", 1148, "The Target Port WWN : 0x5100000000000002"),
        record("discoverPlatformList", 2143, "discoverPlatformList function started"),
        record("discoverPlatformList", 2246, "discoverPlatformList function ended with reasonCode = 0"),
        // The second adapter reaches no fabric at all.
        record("Main", 1144, "SCSI Device - HBA_SendRNID fails with return code = 1"),
        record("Main", 1148, "The Target Port WWN : 0x5100000000000001"),
        record("discoverPlatformList", 2246, "discoverPlatformList function ended with reasonCode = 3"),
    };
    EXPECT_EQ(testsupport::missingInOrder(trace, expected), "") << trace;
    EXPECT_NE(trace.find("\t\tRNID Type     : Storage Subsystem\n\n"), std::string::npos);
}

}  // namespace
