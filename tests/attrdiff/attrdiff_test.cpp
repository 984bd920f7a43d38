// attrdiff end to end: the scanner scans the sample world and a copy of it with one known
// change (a JSON patch), and attrdiff compares the two documents. Each pair's report is
// kept as a golden file, reviewed by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"

namespace {

const std::string kScanner = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kDiff = ATTRSCAN_BINARY_DIR "/tools/attrdiff/attrdiff";
const std::string kSample = ATTRSCAN_SOURCE_DIR "/worlds/sample.json";
const std::string kGolden = ATTRSCAN_SOURCE_DIR "/tests/attrdiff/golden/";
const std::vector<std::string> kScanArgs = {"10.0.0.5:9570", "scanner01", "GUID-TEXT"};

// Scans world (a JSON text) and returns the document's path.
std::string scan(const std::string& name, const std::string& world, const std::vector<std::string>& args = kScanArgs)
{
    const std::string worldPath = ::testing::TempDir() + "attrdiff-" + name + ".json";
    const std::string docPath = ::testing::TempDir() + "attrdiff-" + name + ".xml";
    testsupport::writeFile(worldPath, world);
    const auto r = testsupport::runProgram(
        kScanner, args, {{"SANSIM_WORLD", worldPath}, {"LD_LIBRARY_PATH", ATTRSCAN_BINARY_DIR "/sim"}});
    EXPECT_EQ(r.err, "") << name;
    EXPECT_NE(r.out.find("</AttributeXml>"), std::string::npos) << name;
    testsupport::writeFile(docPath, r.out);
    return docPath;
}

std::string sampleWorld() { return testsupport::readFile(kSample); }

std::string patched(const char* patch)
{
    return nlohmann::json::parse(sampleWorld()).patch(nlohmann::json::parse(patch)).dump(1);
}

struct Pair {
    const char* name;   // also the golden file's name
    const char* patch;  // RFC 6902 patch of the sample world
    std::vector<std::string> diffArgs;
    std::vector<std::string> scanArgs;
};

class ChangedWorld : public ::testing::TestWithParam<Pair> {};

TEST_P(ChangedWorld, ReportMatchesGolden)
{
    const Pair& p = GetParam();
    const std::vector<std::string>& scanArgs = p.scanArgs.empty() ? kScanArgs : p.scanArgs;
    const std::string before = scan(std::string(p.name) + "-old", sampleWorld(), scanArgs);
    const std::string after = scan(p.name, patched(p.patch), scanArgs);
    std::vector<std::string> args = p.diffArgs;
    args.push_back(before);
    args.push_back(after);
    const auto r = testsupport::runProgram(kDiff, args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "");
    const bool json = !p.diffArgs.empty() && p.diffArgs[0] == "--json";
    EXPECT_EQ(testsupport::compareWithGolden(kGolden + p.name + (json ? ".json" : ".txt"), r.out), "");
}

INSTANTIATE_TEST_SUITE_P(
    Sample, ChangedWorld,
    ::testing::Values(
        // The second adapter's port attribute call for controller B fails: the array's three
        // units keep one path of two, and that target port is no longer reached.
        Pair{"path-failed", R"([{"op": "add", "path": "/hba/adapters/1/discoveredPorts/0/status", "value": 1}])",
             {"--json"}, {}},
        Pair{"path-failed", R"([{"op": "add", "path": "/hba/adapters/1/discoveredPorts/0/status", "value": 1}])",
             {}, {}},
        // The old disk enclosure is unplugged.
        Pair{"target-removed", R"([{"op": "remove", "path": "/hba/adapters/0/discoveredPorts/2"}])", {"--json"}, {}},
        // The array presents a fourth unit through controller A only.
        Pair{"lun-added", R"([{"op": "add", "path": "/hba/adapters/0/discoveredPorts/0/target/units/-", "value":
               {"lun": 3, "inquiry": {"deviceType": 0, "vendor": "SANARRAY", "product": "FA-4000",
                "revision": "0420", "vendorSpecific": "FA4K00012343"},
                "page80": {"serial": "1T3456789003"},
                "page83": {"designators": [{"designatorType": 3, "hex": "600A0B800011AA22000000034B3C2D1E"}]}}}])",
             {"--json"}, {}},
        Pair{"firmware-changed",
             R"([{"op": "replace", "path": "/hba/adapters/0/attributes/firmwareVersion", "value": "3.03.21"}])",
             {"--json"}, {}},
        // E: drops from 61440 MB free to 20480 MB (-66.7%); C: loses 5%, within the threshold.
        Pair{"drive-filling", R"([
               {"op": "replace", "path": "/host/drives/2/freeSpace/totalFreeBytes", "value": 21474836480},
               {"op": "replace", "path": "/host/drives/0/freeSpace/totalFreeBytes", "value": 17340930457},
               {"op": "replace", "path": "/host/drives/0/freeSpace/freeBytesAvailable", "value": 17340930457}])",
             {"--json"}, {}},
        // A threshold of 4% lets C:'s 5% through as well.
        Pair{"drive-filling-4", R"([
               {"op": "replace", "path": "/host/drives/2/freeSpace/totalFreeBytes", "value": 21474836480},
               {"op": "replace", "path": "/host/drives/0/freeSpace/totalFreeBytes", "value": 17340930457},
               {"op": "replace", "path": "/host/drives/0/freeSpace/freeBytesAvailable", "value": 17340930457}])",
             {"--json", "--space-threshold", "4"}, {}},
        // The same in file-system summary documents.
        Pair{"drive-filling-fs", R"([
               {"op": "replace", "path": "/host/drives/2/freeSpace/totalFreeBytes", "value": 21474836480}])",
             {"--json"}, {"10.0.0.5:9570", "scanner01", "GUID-TEXT", "FS"}},
        Pair{"adapter-unopenable", R"([{"op": "add", "path": "/hba/adapters/1/openFails", "value": true}])",
             {"--json"}, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Documents that cannot be compared: exit status 2 and one line naming the file and line.
TEST(BadInput, IsReportedWithFileAndLine)
{
    const std::string base = scan("base", sampleWorld());
    const std::string pe = scan("pe", sampleWorld(), {"10.0.0.5:9570", "scanner01", "GUID-TEXT", "PE"});
    const std::string fs = scan("fs", sampleWorld(), {"10.0.0.5:9570", "scanner01", "GUID-TEXT", "FS"});
    const std::string truncated = ::testing::TempDir() + "attrdiff-truncated.xml";
    testsupport::writeFile(truncated, testsupport::readFile(base).substr(0, 30000));
    const std::string notScan = ::testing::TempDir() + "attrdiff-other.xml";
    testsupport::writeFile(notScan, "<?xml version=\"1.0\"?>\n<html>\n</html>\n");

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{base, base}, 0, ""},
        {{pe, pe}, 0, ""},
        {{base, truncated}, 2, "attrdiff: " + truncated + ":752: Premature end of data in tag LogicalUnitIdXml line 752\n"},
        {{truncated, base}, 2, "attrdiff: " + truncated + ":752: Premature end of data in tag LogicalUnitIdXml line 752\n"},
        {{base, pe}, 2, "attrdiff: " + pe + ":59: a PE-mode document, but " + base + " is an attribute document\n"},
        {{pe, fs}, 2, "attrdiff: " + fs + ":53: a file-system summary document, but " + pe + " is a PE-mode document\n"},
        {{base, notScan}, 2, "attrdiff: " + notScan + ":2: the root element is html, not AttributeXml\n"},
        {{base, "/nonexistent.xml"}, 2, "attrdiff: /nonexistent.xml: cannot be opened: No such file or directory\n"},
        {{"--space-threshold", "ten", base, base}, 2, "attrdiff: --space-threshold wants a percentage, not \"ten\"\n"},
    };
    for (const Case& c : cases) {
        const auto r = testsupport::runProgram(kDiff, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[1];
        EXPECT_EQ(r.out, "") << c.args[1];
        EXPECT_EQ(r.err, c.err);
    }
}

}  // namespace
