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

const std::string kGuid = "5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001";
const std::string kNoGuid = "00.00.00.00.00.00.00.00.00.00.00.00.00.00.00.00:0000";
const std::string kHostAddress = "10.0.0.7";  // the address of w2003.json's host

// The fields the command line decides in the document of w2003.json; everything else is
// the same in every run and is checked whole against agent-with-port.xml.
struct HeaderFields {
    std::string agentAddress;
    std::string scannerName;
    std::string scanId;    // after "InbandAttribute:"
    std::string systemId;  // in the system's and operating system's ids
    std::string guid;      // the system's GUID parameter
};

struct HeaderCase {
    const char* name;
    std::vector<std::string> args;
    HeaderFields fields;
    int exitCode;
};

// agent-with-port.xml with its command-line fields replaced by the case's.
std::string expectedDocument(const HeaderFields& f) {
    std::string doc = testsupport::readFile(kGolden + "agent-with-port.xml");
    const auto replaceOnce = [&doc](const std::string& from, const std::string& to) {
        const std::size_t at = doc.find(from);
        if (at != std::string::npos) doc.replace(at, from.size(), to);
    };
    const auto value = [](const std::string& v) { return "<ValueXml>" + v + "</ValueXml>"; };
    replaceOnce(value("10.1.1.1:9570"), value(f.agentAddress));
    replaceOnce(value("scanner01"), value(f.scannerName));
    replaceOnce(value("InbandAttribute:" + kGuid + ":9570"), value("InbandAttribute:" + f.scanId));
    replaceOnce(value(kGuid), value(f.guid));
    for (std::size_t at = doc.find(kGuid); at != std::string::npos; at = doc.find(kGuid, at + f.systemId.size()))
        doc.replace(at, kGuid.size(), f.systemId);
    return doc;
}

TEST(AttributeDocument, CommandLineFieldsOfTheHeader) {
    const HeaderFields withPort{"10.1.1.1:9570", "scanner01", kGuid + ":9570", kGuid, kGuid};
    const HeaderCase cases[] = {
        {"agent address with a port: the scan id ends with it", {"10.1.1.1:9570", "scanner01", kGuid}, withPort, 0},
        {"without a port it does not", {"10.1.1.1", "scanner01", kGuid},
         {"10.1.1.1", "scanner01", kGuid, kGuid, kGuid}, 0},
        {"no arguments: default GUID text, empty address and name", {}, {"", "", kNoGuid, kNoGuid, kNoGuid}, 0},
        {"-D alone", {"-D"}, {"", "", kNoGuid, kNoGuid, kNoGuid}, 0},
        {"-D first is the debug switch", {"-D", "10.1.1.1:9570", "scanner01", kGuid}, withPort, 0},
        {"-D anywhere else is an ordinary argument", {"10.1.1.1", "-D", kGuid},
         {"10.1.1.1", "-D", kGuid, kGuid, kGuid}, 0},
        {"one argument", {"10.1.1.1:1"}, {"10.1.1.1:1", "", kNoGuid + ":1", kNoGuid, kNoGuid}, 0},
        {"two arguments", {"10.1.1.1", "scanner01"}, {"10.1.1.1", "scanner01", kNoGuid, kNoGuid, kNoGuid}, 0},
        {"an empty GUID text: the host's address is the system id", {"10.1.1.1:9570", "scanner01", ""},
         {"10.1.1.1:9570", "scanner01", kHostAddress + ":9570", kHostAddress, ""}, 0},
        {"six or more positional arguments: nothing is taken over", {"a:1", "b", "c", "PE", "Running", "f", "g"},
         {"", "", kHostAddress, kHostAddress, ""}, 0},
        {"Running: the same document, exit 100", {"10.1.1.1:9570", "scanner01", kGuid, "Running"}, withPort, 100},
        {"a mode word in lower case is no mode", {"10.1.1.1:9570", "scanner01", kGuid, "fs"}, withPort, 0},
        {"the fifth argument must be Running exactly", {"10.1.1.1:9570", "scanner01", kGuid, "XX", "running"},
         withPort, 0},
        {"the fifth argument Running", {"10.1.1.1:9570", "scanner01", kGuid, "XX", "Running"}, withPort, 100},
    };
    for (const HeaderCase& c : cases) {
        const auto r = testsupport::runProgram(kProgram, c.args, {{"SANSIM_WORLD", kWorlds + "w2003.json"}});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
        EXPECT_EQ(r.out, expectedDocument(c.fields)) << c.name;
    }
}

// Whole documents where more than the command-line fields differ.
struct Case {
    const char* golden;
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
    EXPECT_EQ(testsupport::compareWithGolden(kGolden + c.golden, r.out), "");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AttributeDocument,
    ::testing::Values(
        Case{"agent-with-port.xml", "w2003.json", {"10.1.1.1:9570", "scanner01", kGuid}, 0},
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
