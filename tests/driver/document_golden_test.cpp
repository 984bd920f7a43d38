// The scanner run end to end on small worlds: command-line forms, modes, exit codes and
// the attribute document's header, operating-system and system elements, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kWorlds = ATTRSCAN_SOURCE_DIR "/tests/driver/worlds/";
const std::string kGolden = ATTRSCAN_SOURCE_DIR "/tests/driver/golden/";

struct Case {
    const char* golden;  // file in golden/, or null when stdout must be empty
    const char* world;
    std::vector<std::string> args;
    int exitCode;
};

class AttributeDocument : public ::testing::TestWithParam<Case> {};

TEST_P(AttributeDocument, MatchesGolden) {
    const Case& c = GetParam();
    const auto r = testsupport::runProgram(kProgram, c.args, {{"SANSIM_WORLD", kWorlds + c.world}});
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.err, "");
    if (c.golden) EXPECT_EQ(testsupport::compareWithGolden(kGolden + c.golden, r.out), "");
    else EXPECT_EQ(r.out, "");
}

const std::string kGuid = "5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001";

INSTANTIATE_TEST_SUITE_P(
    CommandLine, AttributeDocument,
    ::testing::Values(
        // Agent address with a port: the scan id ends with it; without one it does not.
        Case{"agent-with-port.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid}, 0},
        Case{"agent-without-port.xml", "w2003.json", {"10.1.1.1", "scanner01", kGuid}, 0},
        // No arguments, and "-D" alone: default GUID text, empty address and name.
        Case{"no-arguments.xml", "w2003.json", {}, 0},
        Case{"no-arguments.xml", "w2003.json", {"-D"}, 0},
        Case{"agent-with-port.xml", "w2003.json", {"-D", "10.1.1.1:9570", "scanner01", kGuid}, 0},
        // "-D" anywhere but first is an ordinary argument.
        Case{"debug-second.xml", "w2003.json", {"10.1.1.1", "-D", kGuid}, 0},
        Case{"one-argument.xml", "w2003.json", {"10.1.1.1:1"}, 0},
        Case{"two-arguments.xml", "w2003.json", {"10.1.1.1", "scanner01"}, 0},
        // An empty GUID text: the host's address is the system id.
        Case{"empty-guid.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", ""}, 0},
        // Six or more positional arguments: nothing is taken over.
        Case{"seven-arguments.xml", "w2003.json", {"a:1", "b", "c", "PE", "Running", "f", "g"}, 0},
        // Mode words.
        Case{"running.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "Running"}, 100},
        Case{"agent-with-port.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "fs"}, 0},
        Case{"agent-with-port.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "XX", "running"}, 0},
        Case{"running.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "XX", "Running"}, 100},
        Case{"pe.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "PE"}, 0},
        Case{"pe.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "PE", "Running"}, 100},
        // The file-system summary mode ends with its writer's code, even when running.
        Case{"fs-running.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid, "FS", "Running"}, 0},
        // Host without a host entry, or with no address.
        Case{"no-host-entry.xml", "no-host-entry.json", {"10.1.1.1:9570", "scanner01", kGuid}, 0},
        Case{"no-host-entry-empty-guid.xml", "no-host-entry.json", {"10.1.1.1:9570", "scanner01", ""}, 0},
        Case{"no-address.xml", "no-address.json", {"10.1.1.1", "scanner01", kGuid}, 0},
        // Texts holding markup are escaped wherever they are printed.
        Case{"markup.xml", "markup.json", {"10.1.1.1:<9570>", "s&<x>", "G\"1\"<&>"}, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Every row of the operating-system table, through the whole program.
struct OsRow {
    int platformId, major, minor;
    const char* name;
};

class OperatingSystemName : public ::testing::TestWithParam<OsRow> {};

TEST_P(OperatingSystemName, NamesTheSystem) {
    const OsRow& row = GetParam();
    const std::string world = ::testing::TempDir() + "os-row.json";
    testsupport::writeFile(world, "{\"host\": {\"hostName\": \"H\", \"lookup\": {\"officialName\": \"h.example\", "
                                  "\"addresses\": [\"10.0.0.1\"]}, \"version\": {\"platformId\": " +
                                      std::to_string(row.platformId) + ", \"major\": " +
                                      std::to_string(row.major) + ", \"minor\": " +
                                      std::to_string(row.minor) + "}}}");
    const auto r = testsupport::runProgram(kProgram, {"a", "b", "G"}, {{"SANSIM_WORLD", world}});
    ASSERT_EQ(r.exitCode, 0);
    const std::string name = row.name;
    EXPECT_NE(r.out.find("         <NameXml>System Type</NameXml>\n         <ValueXml>" + name + "</ValueXml>\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("      <UniqueIdXml>NtOSXml:G:" + name + "</UniqueIdXml>\n"), std::string::npos);
    EXPECT_NE(r.out.find("         <NameXml>Operating System Type</NameXml>\n         <ValueXml>" + name +
                         "</ValueXml>\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("         <NameXml>Operating System Level</NameXml>\n         <ValueXml>" +
                         std::to_string(row.minor) + "</ValueXml>\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("         <NameXml>Operating System Version</NameXml>\n         <ValueXml>" +
                         std::to_string(row.major) + "</ValueXml>\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OperatingSystemName,
    ::testing::Values(OsRow{0, 3, 1, "Windows 3.1"}, OsRow{1, 4, 0, "Windows 95"}, OsRow{1, 4, 10, "Windows 98"},
                      OsRow{1, 4, 90, "Windows 98"}, OsRow{2, 4, 0, "Windows NT"}, OsRow{2, 4, 2, "Windows NT"},
                      OsRow{2, 5, 0, "Windows 2000"}, OsRow{2, 6, 0, "Windows 2000"}, OsRow{2, 5, 1, "Windows XP"},
                      OsRow{2, 5, 2, "Windows 2003"}, OsRow{2, 3, 51, "Microsoft Windows"},
                      OsRow{2, 6, 3, "Microsoft Windows"}, OsRow{3, 5, 1, "UNKNOWN"},
                      OsRow{99, 0, 0, "UNKNOWN"}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

}  // namespace
