// The scanner run end to end on worlds around the host inventory's edge cases: drives,
// disks and registry identification in the attribute document, and the file-system
// summary document with and without its logical-device declarations, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kWorlds = ATTRSCAN_SOURCE_DIR "/tests/inventory/worlds/";
const std::string kGolden = ATTRSCAN_SOURCE_DIR "/tests/inventory/golden/";

struct Case {
    const char* golden;
    std::string world;
    std::vector<std::string> args;
};

class InventoryDocument : public ::testing::TestWithParam<Case> {};

TEST_P(InventoryDocument, MatchesGolden) {
    const Case& c = GetParam();
    const auto r = testsupport::runProgram(kProgram, c.args, {{"SANSIM_WORLD", c.world}});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(testsupport::compareWithGolden(kGolden + c.golden, r.out), "");
}

const std::string kGuid = "5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001";

INSTANTIATE_TEST_SUITE_P(
    Worlds, InventoryDocument,
    ::testing::Values(
        // Every drive type, substituted drives (one behind a line longer than 79
        // characters), unmeasured drives, a label with markup, the 20480.00 sizes.
        Case{"drives.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", kGuid}},
        // Disk identification: blanks collapsed, quotes escaped, three disks on two
        // keys, a disk refusing its geometry, the survey ending at a gap, 8063.51 MB.
        Case{"disks.xml", kWorlds + "disks.json", {"10.1.1.1:9570", "scanner01", kGuid}},
        Case{"no-registry.xml", kWorlds + "no-registry.json", {"10.1.1.1", "scanner01", kGuid}},
        // The summary: its logical-device declarations follow the GUID text "FS"; the
        // mode words "FS" and "VG" give the same document.
        Case{"drives-fs-blocks.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", "FS", "FS"}},
        Case{"drives-fs-blocks.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", "FS", "VG"}},
        Case{"drives-fs.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", kGuid, "FS"}},
        Case{"drives-fs.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", kGuid, "VG"}},
        Case{"drives-fs.xml", kWorlds + "drives.json", {"10.1.1.1:9570", "scanner01", kGuid, "FS", "Running"}},
        Case{"disks-fs-blocks.xml", kWorlds + "disks.json", {"10.1.1.1", "scanner01", "FS", "FS"}},
        Case{"disks-fs.xml", kWorlds + "disks.json", {"10.1.1.1", "scanner01", kGuid, "VG"}},
        // The bundled sample world (its SAN part does not touch the summary).
        Case{"sample-fs.xml", ATTRSCAN_SOURCE_DIR "/worlds/sample.json", {"10.1.1.1:9570", "scanner01", kGuid, "FS"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
