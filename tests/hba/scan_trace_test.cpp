// The scan's trace end to end, byte for byte: the program runs on a world with a
// properties file that sends the trace logger's records, in the basic format with a fixed
// date text and "|" between the fields, to a file; the whole file must equal the world's
// golden trace. A trace holds every discovery, REPORT LUNS, INQUIRY, RNID and platform
// line with its method and line number, the discovered lists as the scan leaves them (each
// node's type, serial number, vendor, product, WWNs, port type, address and RNID type,
// each unit's address), and the entity builders' entry and exit lines.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"
#include "tests/support/ci_skip.h"

namespace {

struct Case {
    const char* world;   // relative to the source folder; its comments describe the cases
    const char* golden;  // relative to the source folder
};

class ScanTrace : public ::testing::TestWithParam<Case> {};

TEST_P(ScanTrace, MatchesGolden) {
    const Case& c = GetParam();
    testsupport::setEnv("SANSIM_WORLD", std::string(ATTRSCAN_SOURCE_DIR "/") + c.world);
    testsupport::setEnv("SANSIM_CALL_LOG", "");
    std::string trace;
    const auto run = testsupport::runScanWithTrace(ATTRSCAN_BINARY_DIR "/tests/hba/trace-home", trace);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    if (trace.empty()) SKIP_OR_FAIL_IN_CI << "the logging toolkit in this build writes no records";
    EXPECT_EQ(testsupport::compareWithGolden(std::string(ATTRSCAN_SOURCE_DIR "/") + c.golden, trace), "");
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, ScanTrace,
    ::testing::Values(
        // An adapter that cannot be opened; an old QLogic driver (no RNID, one-byte LUN ids).
        Case{"tests/hba/worlds/old-driver.json", "tests/hba/golden/old-driver-trace.txt"},
        // Port, target, page and INQUIRY failures with their dumps.
        Case{"tests/hba/worlds/failures.json", "tests/hba/golden/failures-trace.txt"},
        // Every REPORT LUNS answer, units not kept or kept blank, which unit identifies its
        // node, the vendor mark, a port listed twice.
        Case{"tests/hba/worlds/probe.json", "tests/hba/golden/probe-trace.txt"},
        // No targets: the builders that make no record write no exit line.
        Case{"tests/hba/worlds/no-targets.json", "tests/hba/golden/no-targets-trace.txt"},
        // RNID per target (an answer and a rejection), platforms, an adapter without fabric.
        Case{"tests/fabric/worlds/rnid-platforms.json", "tests/fabric/golden/rnid-platforms-trace.txt"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
