// attrdiff end to end: the scanner scans the sample world and a copy of it with one known
// change (a JSON patch), and attrdiff compares the two documents. Each pair's report is
// kept as a golden file, reviewed by hand.
#include <gtest/gtest.h>

#include <unistd.h>

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

// Temporary files carry the process id: other checkouts may run these tests at the same time.
std::string tmp(const std::string& name)
{
    return ::testing::TempDir() + "attrdiff-" + std::to_string(::getpid()) + "-" + name;
}

// Scans world (a JSON text) and returns the document's path.
std::string scan(const std::string& name, const std::string& world, const std::vector<std::string>& args = kScanArgs)
{
    const std::string worldPath = tmp(name + ".json");
    const std::string docPath = tmp(name + ".xml");
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
    const std::string truncated = tmp("truncated.xml");
    testsupport::writeFile(truncated, testsupport::readFile(base).substr(0, 30000));
    const std::string notScan = tmp("other.xml");
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

namespace {

// A small attribute document around the given entities.
std::string document(const std::string& entities, const std::string& scanId = "InbandAttribute:G")
{
    return "<?xml version=\"1.0\"?>\n<AttributeXml>\n   <HeaderXml>\n      <ParameterXml>\n"
           "         <NameXml>Scan ID</NameXml>\n         <ValueXml>" + scanId + "</ValueXml>\n"
           "      </ParameterXml>\n   </HeaderXml>\n" + entities + "</AttributeXml>\n";
}

std::string entity(const std::string& element, const std::string& id,
                   const std::vector<std::pair<std::string, std::string>>& parameters,
                   const std::vector<std::pair<std::string, std::string>>& references = {})
{
    std::string s = "   <" + element + ">\n      <UniqueIdXml>" + id + "</UniqueIdXml>\n";
    for (const auto& [name, value] : parameters)
        s += "      <ParameterXml>\n         <NameXml>" + name + "</NameXml>\n         <ValueXml>" + value +
             "</ValueXml>\n      </ParameterXml>\n";
    for (const auto& [ref, target] : references) s += "      <" + ref + ">" + target + "</" + ref + ">\n";
    return s + "   </" + element + ">\n";
}

struct Rule {
    const char* name;
    std::string before, after;
    int exitCode;
    std::string report;  // text report, or the error line
};

// The rules of matching and reporting, on hand-made documents, report byte for byte.
TEST(MatchingRules, Table)
{
    const std::string lv = "LogicalVolumeXml";
    const std::string lu = "LogicalUnitXml";
    const std::vector<Rule> rules = {
        {"header differences are not SAN changes", document(""), document("", "InbandAttribute:H"), 0, ""},
        {"the n-th parameter of a name matches the n-th",
         document(entity("FcNodeXml", "FcNodeXml:1", {{"Management URL Address", "http://a"}, {"Management URL Address", "http://b"}})),
         document(entity("FcNodeXml", "FcNodeXml:1", {{"Management URL Address", "http://a"}, {"Management URL Address", "http://c"}})),
         1,
         "FC node (FcNodeXml): 1 changed\n  ~ FcNodeXml:1\n      Management URL Address: \"http://b\" -> \"http://c\"\n"},
        {"parameters added and removed; values escaped on one line",
         document(entity(lv, "LVXml:c", {{"Name", "c"}, {"Label", "Old \"label\""}})),
         document(entity(lv, "LVXml:c", {{"Name", "c"}, {"ID", "a\tb"}})), 1,
         "logical volume (LogicalVolumeXml): 1 changed\n  ~ LVXml:c\n      Label: \"Old \\\"label\\\"\" -> (none)\n"
         "      ID: (none) -> \"a\\x09b\"\n"},
        {"references in another order are no change",
         document(entity("SystemXml", "PlatformXml:G", {}, {{"ControllerIdXml", "ControllerXml:A"}, {"ControllerIdXml", "ControllerXml:B"}})),
         document(entity("SystemXml", "PlatformXml:G", {}, {{"ControllerIdXml", "ControllerXml:B"}, {"ControllerIdXml", "ControllerXml:A"}})),
         0, ""},
        {"a repeated reference counts",
         document(entity("SystemXml", "PlatformXml:G", {}, {{"ControllerIdXml", "ControllerXml:A"}, {"ControllerIdXml", "ControllerXml:A"}})),
         document(entity("SystemXml", "PlatformXml:G", {}, {{"ControllerIdXml", "ControllerXml:A"}})), 1,
         "system (SystemXml): 1 changed\n  ~ PlatformXml:G\n      - ControllerIdXml ControllerXml:A\n"},
        {"exactly the threshold is no difference",
         document(entity(lv, "LVXml:c", {{"Free Space", "100.00"}})), document(entity(lv, "LVXml:c", {{"Free Space", "110.00"}})), 0, ""},
        {"just over the threshold is",
         document(entity(lv, "LVXml:c", {{"Free Space", "100.00"}})), document(entity(lv, "LVXml:c", {{"Free Space", "110.01"}})), 1,
         "Changes to act on:\n  logical volume c: Free Space 100.00 -> 110.01 (+10.0%)\n\n"
         "logical volume (LogicalVolumeXml): 1 changed\n  ~ LVXml:c\n      Free Space: \"100.00\" -> \"110.01\"\n"},
        {"growing from nothing counts as 100%",
         document(entity(lv, "LVXml:c", {{"Size", "0.00"}})), document(entity(lv, "LVXml:c", {{"Size", "5.00"}})), 1,
         "Changes to act on:\n  logical volume c: Size 0.00 -> 5.00 (+100.0%)\n\n"
         "logical volume (LogicalVolumeXml): 1 changed\n  ~ LVXml:c\n      Size: \"0.00\" -> \"5.00\"\n"},
        {"a size that is no number is an ordinary change",
         document(entity(lv, "LVXml:c", {{"Size", "n/a"}})), document(entity(lv, "LVXml:c", {{"Size", "5.00"}})), 1,
         "logical volume (LogicalVolumeXml): 1 changed\n  ~ LVXml:c\n      Size: \"n/a\" -> \"5.00\"\n"},
        {"a storage system's revision is its firmware",
         document(entity("PeripheralEntityXml", "PlatformXml:P", {{"Serial Number", "SN1"}, {"Revision", "0420"}})),
         document(entity("PeripheralEntityXml", "PlatformXml:P", {{"Serial Number", "SN1"}, {"Revision", "0430"}})), 1,
         "Changes to act on:\n  storage system SN1: Revision 0420 -> 0430\n\n"
         "storage system (PeripheralEntityXml): 1 changed\n  ~ PlatformXml:P\n      Revision: \"0420\" -> \"0430\"\n"},
        {"a repeated id is kept apart under #2",
         document(entity(lu, "LogicalUnitXml:X", {{"Type", "Disk"}}) + entity(lu, "LogicalUnitXml:X", {{"Type", "Tape"}})),
         document(entity(lu, "LogicalUnitXml:X", {{"Type", "Disk"}})), 1,
         "logical unit (LogicalUnitXml): 1 removed\n  - LogicalUnitXml:X #2\n"},
        {"an entity without its id", document(""), document("   <ControllerXml>\n   </ControllerXml>\n"), 2,
         ":9: ControllerXml has no UniqueIdXml"},
        {"an empty file", document(""), "", 2, ":1: Document is empty"},
        {"bytes that are not UTF-8", document(""), document(entity(lv, "LVXml:c", {{"Label", "Caf\xE9"}})), 2,
         ":13: Input is not proper UTF-8, indicate encoding !"},
    };
    const std::string before = tmp("rule-old.xml");
    const std::string after = tmp("rule-new.xml");
    for (const Rule& rule : rules) {
        testsupport::writeFile(before, rule.before);
        testsupport::writeFile(after, rule.after);
        const auto r = testsupport::runProgram(kDiff, {before, after});
        EXPECT_EQ(r.exitCode, rule.exitCode) << rule.name;
        if (rule.exitCode == 2) {
            EXPECT_EQ(r.out, "") << rule.name;
            EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "attrdiff: " + after + rule.report) << rule.name;
        } else {
            EXPECT_EQ(r.out, rule.report) << rule.name;
            EXPECT_EQ(r.err, "") << rule.name;
        }
    }
}

}  // namespace
