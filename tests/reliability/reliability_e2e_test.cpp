// The scanner run end to end on worlds and command lines that used to break its document:
// control bytes and non-UTF-8 bytes in host texts and arguments, characters cut at a
// field's length, standard output full or closed, zero-length device answers, and two
// ports sharing one port WWN. Every document must be well-formed (libxml2) with every
// reference resolved, hold the expected lines byte for byte, and be all there is on
// standard output; the exit status and standard error are exact.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/document_check.h"
#include "tests/support/run_program.h"

namespace {

using testsupport::StandardOutput;

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kSimFolder = ATTRSCAN_BINARY_DIR "/sim";

// A host with one fixed drive and one disk, whose texts are given as JSON string bodies
// (so "\\u0001" is a control character in the world), and optionally a SAN (members of
// the world's top level, each preceded by a comma).
std::string hostWorld(const std::string& officialName, const std::string& label, const std::string& fileSystem,
                      const std::string& identifierValue, const std::string& san = "") {
    return R"({"host": {"hostName": "h", "lookup": {"officialName": ")" + officialName +
           R"(", "addresses": ["10.0.0.9"]},
  "version": {"platformId": 2, "major": 5, "minor": 2}, "processorArchitecture": 0,
  "drives": [{"letter": "C", "type": 3, "volume": {"label": ")" + label + R"(", "fileSystem": ")" + fileSystem +
           R"("},
    "freeSpace": {"totalBytes": 1048576, "totalFreeBytes": 0}}],
  "physicalDrives": [{"geometry": {"cylinders": 1, "tracksPerCylinder": 1, "sectorsPerTrack": 1, "bytesPerSector": 512}}],
  "registry": {"keys": [{"name": "HARDWARE", "keys": [{"name": "Disk0", "values": [
    {"name": "Type", "type": "string", "data": "DiskPeripheral"}, )" +
           identifierValue + R"(]}]}]}})" + san + "}";
}

std::string identifier(const std::string& text) {
    return R"({"name": "Identifier", "type": "string", "data": ")" + text + R"("})";
}
// Stored bytes given in hexadecimal, terminator included.
std::string identifierHex(const std::string& hex) {
    return R"({"name": "Identifier", "type": "string", "hex": ")" + hex + R"("})";
}

const std::string kPlainHost = hostWorld("h.example", "System", "NTFS", identifier("VENDOR DISK"));

// One adapter whose two discovered ports share a port WWN, each a target with a unit.
const std::string kSharedPortWwn = R"(, "hba": {"adapters": [{"name": "A0",
  "attributes": {"nodeWwn": "2000000000000001"},
  "port": {"portWwn": "2100000000000001", "portFcId": "010100"},
  "discoveredPorts": [
    {"nodeWwn": "5000000000000010", "portWwn": "5000000000000011", "portFcId": "010200",
     "target": {"units": [{"lun": 0, "inquiry": {"vendor": "V1", "product": "P1"},
                           "page80": {"serial": "S1"}, "page83": {"designators": [{"hex": "60000000000000000000000000000001"}]}}]}},
    {"nodeWwn": "5000000000000020", "portWwn": "5000000000000011", "portFcId": "010300",
     "target": {"units": [{"lun": 0, "inquiry": {"vendor": "V2", "product": "P2"},
                           "page80": {"serial": "S2"}, "page83": {"designators": [{"hex": "60000000000000000000000000000002"}]}}]}}]}]})";

// One target whose every answer is recorded as zero bytes.
const std::string kZeroLengthAnswers = R"(, "hba": {"adapters": [{"name": "A0",
  "attributes": {"nodeWwn": "2000000000000001"},
  "port": {"portWwn": "2100000000000001", "portFcId": "010100"},
  "discoveredPorts": [
    {"nodeWwn": "5000000000000010", "portWwn": "5000000000000011", "portFcId": "010200",
     "target": {"reportLuns": {"raw": ""}, "anyUnit": {"inquiry": {"raw": ""}, "page80": {"raw": ""}, "page83": {"raw": ""}}}}]}]},
  "fabric": {"rnid": [{"portName": "5000000000000011", "raw": ""}], "ct": [{"command": "GA_NXT", "raw": ""}]})";

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string kGuid = "GUID-R";

struct Case {
    const char* name;
    std::string world;
    std::vector<std::string> args;
    std::vector<std::string> lines;  // each must appear as a whole line of the document
    int exitCode = 0;
    StandardOutput output = StandardOutput::Captured;
    std::string err;  // standard error, exactly
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// A run that prints its document and exits with 0.
Case printed(const char* name, std::string world, std::vector<std::string> args, std::vector<std::string> lines) {
    return Case{name, std::move(world), std::move(args), std::move(lines), 0, StandardOutput::Captured, ""};
}

// A run whose document cannot be written: one line on standard error, status 3.
Case lost(const char* name, std::vector<std::string> args, StandardOutput output, const std::string& reason) {
    return Case{name, kPlainHost, std::move(args), {}, 3, output,
                "ERROR: could not write the document to standard output: " + reason + "\n"};
}

class Reliability : public ::testing::TestWithParam<Case> {};

TEST_P(Reliability, DocumentKeepsItsPromise) {
    const Case& c = GetParam();
    const std::string world = ::testing::TempDir() + "reliability-" + c.name + ".json";
    testsupport::writeFile(world, c.world);
    const auto r = testsupport::runProgram(kProgram, c.args, {{"SANSIM_WORLD", world}, {"LD_LIBRARY_PATH", kSimFolder}},
                                           c.output);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.err, c.err);
    if (c.output != StandardOutput::Captured) return;
    EXPECT_EQ(testsupport::documentProblem(r.out), "");
    for (const std::string& line : c.lines)
        EXPECT_NE(("\n" + r.out).find("\n" + line + "\n"), std::string::npos) << "missing line: " << line;
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, Reliability,
    ::testing::Values(
        // Control bytes in every host text, in the attribute document: parameters, the
        // ids built from the file-system name, and the registry identifier.
        printed("control_host_texts",
             hostWorld("h\\u0001st", "La\\u0002b\\tel", "NT\\u001fFS", identifier("VEN\\u0003 DISK")),
             {"10.0.0.1", "s", kGuid},
             {"         <ValueXml>h%01st</ValueXml>",
              "            <ValueXml>La%02b%09el</ValueXml>",
              "      <HostFileSystemIdXml>HFSXml:GUID-R:NT%1FFS:c</HostFileSystemIdXml>",
              "      <UniqueIdXml>HFSXml:GUID-R:NT%1FFS:c</UniqueIdXml>",
              "         <ValueXml>NT%1FFS</ValueXml>",
              "            <ValueXml>VEN%03</ValueXml>",
              "            <ValueXml>VEN%03 DISK</ValueXml>"}),
        // The same texts in the file-system summary, where they are attribute values.
        printed("control_host_texts_summary",
             hostWorld("h\\u0001st", "La\\u0002bel", "NT\\u001fFS", identifier("VENDOR")),
             {"10.0.0.1", "s", kGuid, "FS"},
             {"      <SystemResources hostName=\"h%01st\" architecture=\"Intel\"/>",
              "            <FileSystem name=\"c\" type=\"NT%1FFS\" mountPoint=\"c\" size=\"1.00\" freeSpace=\"0.00\"/>"}),
        printed("control_host_texts_pe", hostWorld("h\\u0001st", "L", "F", identifier("V")),
             {"10.0.0.1", "s", kGuid, "PE"},
             {"         <ValueXml>h%01st</ValueXml>"}),
        // Control and non-UTF-8 bytes on the command line, in the header and the scan id.
        printed("control_arguments", kPlainHost,
             {"10.0.0.1\x04:9570", "sc\x05", "G\x06"},
             {"         <ValueXml>10.0.0.1%04:9570</ValueXml>",
              "         <ValueXml>sc%05</ValueXml>",
              "         <ValueXml>InbandAttribute:G%06:9570</ValueXml>",
              "      <UniqueIdXml>PlatformXml:G%06</UniqueIdXml>"}),
        printed("latin1_arguments", kPlainHost,
             {"10.0.0.1", "sc\xE9nner", kGuid, "FS"},
             {"         <ValueXml>sc%E9nner</ValueXml>"}),
        // Texts that are UTF-8 already come out unchanged; a registry string stored in
        // another code page is escaped byte by byte.
        printed("utf8_unchanged",
             hostWorld("h\\u00f4te", "Donn\\u00e9es", "NTFS", identifierHex("446f6e6ee9657300")),
             {"10.0.0.1", "sc\xC3\xA9nner", kGuid},
             {"         <ValueXml>h\xC3\xB4te</ValueXml>",
              "            <ValueXml>Donn\xC3\xA9" "es</ValueXml>",
              "         <ValueXml>sc\xC3\xA9nner</ValueXml>",
              "            <ValueXml>Donn%E9es</ValueXml>"}),
        // 30 two-byte characters in the 50-byte agent address: 24 whole ones stay.
        printed("agent_address_cut", kPlainHost,
             {repeat("\xC3\xA9", 30), "s", kGuid},
             {"         <ValueXml>" + repeat("\xC3\xA9", 24) + "</ValueXml>"}),
        // A document that cannot be written whole: one line on standard error, status 3,
        // in every mode, the running overlap included.
        lost("full_attribute", {"a", "s", kGuid}, StandardOutput::DevFull, "No space left on device"),
        lost("full_running", {"a", "s", kGuid, "Running"}, StandardOutput::DevFull, "No space left on device"),
        lost("full_pe", {"a", "s", kGuid, "PE"}, StandardOutput::DevFull, "No space left on device"),
        lost("full_summary", {"a", "s", kGuid, "FS"}, StandardOutput::DevFull, "No space left on device"),
        lost("closed_attribute", {"a", "s", kGuid}, StandardOutput::Closed, "Bad file descriptor"),
        lost("closed_summary", {"a", "s", kGuid, "FS"}, StandardOutput::Closed, "Bad file descriptor"),
        // Zero-byte answers to every SCSI, RNID and CT request (the sanitizer build
        // checks the simulated library's copies of them too).
        printed("zero_length_answers", hostWorld("h", "L", "F", identifier("V"), kZeroLengthAnswers),
             {"a", "s", kGuid},
             {"      <UniqueIdXml>ControllerXml:GUID-R:2000000000000001:A0</UniqueIdXml>"}),
        // Two ports sharing one port WWN: both units are printed as the SAN reported them;
        // the document stays well-formed and every reference resolves.
        printed("shared_port_wwn", hostWorld("h", "L", "F", identifier("V"), kSharedPortWwn),
             {"a", "s", kGuid},
             {"      <UniqueIdXml>LogicalUnitXml:50000000000000112100000000000001LUN0</UniqueIdXml>"})),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
