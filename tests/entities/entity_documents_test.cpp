// The scanner end to end on SAN worlds: the attribute and PE-mode documents byte for
// byte, each well-formed, and the PE-mode documents valid against their own DTD (the full
// document cannot be: its DTD asks for volumes and file systems that no SAN supplies).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"
#include "tests/support/ci_skip.h"

namespace {

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kSimFolder = ATTRSCAN_BINARY_DIR "/sim";
const std::string kXmllint = "/usr/bin/xmllint";

struct Case {
    const char* golden;  // in tests/entities/golden/
    const char* world;   // relative to the source folder
    std::vector<std::string> args;
    bool valid;  // satisfies its DTD
};

class SanDocument : public ::testing::TestWithParam<Case> {};

TEST_P(SanDocument, MatchesGolden) {
    const Case& c = GetParam();
    const auto r = testsupport::runProgram(
        kProgram, c.args,
        {{"SANSIM_WORLD", std::string(ATTRSCAN_SOURCE_DIR) + "/" + c.world}, {"LD_LIBRARY_PATH", kSimFolder}});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(testsupport::compareWithGolden(std::string(ATTRSCAN_SOURCE_DIR) + "/tests/entities/golden/" + c.golden,
                                             r.out),
              "");

    if (!std::filesystem::exists(kXmllint)) SKIP_OR_FAIL_IN_CI << "xmllint is not installed";
    const std::string file = std::string(ATTRSCAN_BINARY_DIR) + "/tests/entities/" + c.golden;
    testsupport::writeFile(file, r.out);
    const auto wellFormed = testsupport::runProgram(kXmllint, {"--noout", file});
    EXPECT_EQ(wellFormed.exitCode, 0) << wellFormed.err;
    if (c.valid) {
        const auto valid = testsupport::runProgram(kXmllint, {"--noout", "--valid", file});
        EXPECT_EQ(valid.exitCode, 0) << valid.err;
    }
}

const std::string kGuid = "5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001";

INSTANTIATE_TEST_SUITE_P(
    Worlds, SanDocument,
    ::testing::Values(
        // Two adapters, an array seen through both, a tape library, an old enclosure.
        Case{"sample.xml", "worlds/sample.json", {"10.1.1.1:9570", "scanner01", kGuid}, false},
        Case{"sample-pe.xml", "worlds/sample.json", {"10.1.1.1:9570", "scanner01", kGuid, "PE"}, true},
        // Controller id "S:200000E08B010203:A0", units matched in order on both paths,
        // the 4807 trimming, escaped adapter texts, RNID and platform nodes without units,
        // management addresses by scheme, a stand-in node and port for an adapter port
        // that RNID calls a storage subsystem.
        Case{"edges.xml", "tests/entities/worlds/edges.json", {"10.1.1.1:9570", "scanner01", "S"}, false},
        Case{"edges-pe.xml", "tests/entities/worlds/edges.json", {"10.1.1.1", "scanner01", "S", "PE"}, true},
        // The probing cases (see the world's comments): which unit identifies a node, blank
        // identifiers, the vendor mark, device types beyond the table.
        Case{"probe.xml", "tests/hba/worlds/probe.json", {"10.1.1.1", "scanner01", "S"}, false},
        // RNID answers decoded into node types and management addresses.
        Case{"rnid-decoding.xml", "tests/fabric/worlds/rnid-decoding.json", {"10.1.1.1", "scanner01", "S"}, false}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
