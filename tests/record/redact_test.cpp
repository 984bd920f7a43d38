// Redacting a recording: the replay of the redacted world prints the original document
// with the mapping applied, apart from ids the document derives from redacted values
// (the MD5 disk ids), and no original value is left anywhere in the redacted file, as
// text or as hexadecimal bytes.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <regex>
#include <sstream>

#include "tests/support/run_program.h"
#include "tools/worldredact/redactor.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kRedact = ATTRSCAN_BINARY_DIR "/tools/worldredact/worldredact";
const std::string kKey = "correct-horse-battery";
// Named after the process: two builds' tests (and other checkouts') may run at once.
const fs::path kScratch = fs::temp_directory_path() / ("record_redact_test_" + std::to_string(::getpid()));

testsupport::ProgramResult scan(const std::string& world, const std::string& recordTo) {
    return testsupport::runProgram(kProgram, {"10.1.1.1:9570", "scanner01", "GUID-1"},
                                   {{"SANSIM_WORLD", world},
                                    {"ATTRSCAN_RECORD", recordTo},
                                    {"LD_LIBRARY_PATH", ATTRSCAN_BINARY_DIR "/sim"},
                                    {"VRKA_SM_HOME", ATTRSCAN_SOURCE_DIR}});
}

std::vector<redact::Mapping> readMapping(const std::string& path) {
    std::vector<redact::Mapping> out;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        const auto a = line.find('\t'), b = line.find('\t', a + 1);
        out.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return out;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string hexOf(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) s += {kDigits[c >> 4], kDigits[c & 15]};
    return s;
}

// The bytes a value stands for in raw answers.
std::string bytesOf(const redact::Mapping& m) {
    if (m.kind == "wwn") {
        std::string b;
        for (std::size_t i = 0; i + 1 < m.original.size(); i += 2) b += static_cast<char>(std::stoi(m.original.substr(i, 2), nullptr, 16));
        return b;
    }
    if (m.kind == "ip") {
        std::string b;
        std::istringstream in(m.original);
        for (std::string part; std::getline(in, part, '.');) b += static_cast<char>(std::stoi(part));
        return b;
    }
    return m.original;
}

// The mapping applied to a document's character data, leaving its markup alone.
std::string mapDocument(const std::vector<redact::Mapping>& mapping, const std::string& doc) {
    std::string out;
    std::size_t at = 0;
    while (at < doc.size()) {
        const std::size_t open = doc.find('<', at);
        out += redact::applyMapping(mapping, doc.substr(at, open - at));
        if (open == std::string::npos) break;
        const std::size_t close = doc.find('>', open);
        out += doc.substr(open, close == std::string::npos ? std::string::npos : close + 1 - open);
        at = close == std::string::npos ? doc.size() : close + 1;
    }
    return out;
}

class RedactedRecording : public ::testing::TestWithParam<const char*> {};

TEST_P(RedactedRecording, ReplaysTheMappedDocumentAndHidesEveryValue) {
    fs::create_directories(kScratch);
    const std::string recording = (kScratch / "recording.json").string();
    const std::string redacted = (kScratch / "redacted.json").string();
    const std::string map = (kScratch / "map.tsv").string();
    const auto original = scan(std::string(ATTRSCAN_SOURCE_DIR "/") + GetParam(), recording);
    ASSERT_EQ(original.exitCode, 0) << original.err;

    const auto r = testsupport::runProgram(kRedact, {"--key", kKey, "--map", map, recording, "-o", redacted});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<redact::Mapping> mapping = readMapping(map);
    ASSERT_FALSE(mapping.empty());

    const auto replay = scan(redacted, "");
    EXPECT_EQ(replay.err, original.err);
    // What the document derives from redacted values by its own rules cannot follow the
    // mapping: MD5 digests of disk identification, raw bytes shown percent-escaped, and
    // texts holding a value cut short or inside other words (a serial number cut at the
    // end of an INQUIRY field, a host name in a symbolic name). Such lines keep their
    // markup, and their length unless escaped; they are listed.
    const std::regex digest("[0-9a-f]{32}");
    std::istringstream expected(mapDocument(mapping, original.out)), actual(replay.out);
    std::string derived;
    for (std::string e, a; std::getline(expected, e);) {
        ASSERT_TRUE(std::getline(actual, a)) << "the replay ends early";
        if (e == a) continue;
        const bool md5 = std::regex_replace(e, digest, "<md5>") == std::regex_replace(a, digest, "<md5>");
        const bool escaped = e.find('%') != std::string::npos;
        const bool sameMarkup = e.substr(0, e.find('>')) == a.substr(0, a.find('>'));
        EXPECT_TRUE(md5 || (sameMarkup && (escaped || e.size() == a.size())))
            << "expected: " << e << "\nreplayed: " << a;
        derived += std::string(md5 ? "md5" : escaped ? "escaped" : "text") + ": " + a + "\n";
    }
    std::string rest;
    EXPECT_FALSE(std::getline(actual, rest)) << "the replay goes on: " << rest;
    std::cout << "lines derived from redacted values:\n" << derived;

    // Searched without separators and in one case, as text and as hexadecimal bytes.
    std::string file = readFile(redacted);
    file.erase(std::remove(file.begin(), file.end(), ':'), file.end());
    const std::string upperFile = upper(file);
    for (const redact::Mapping& m : mapping) {
        // Too short to be told from other text; a volume label is any word.
        if (m.original.size() < 4 || m.kind == "label") continue;
        const bool anyCase = m.kind == "host" || m.kind == "wwn";
        const std::string& hay = anyCase ? upperFile : file;
        const std::string text = anyCase ? upper(m.original) : m.original, hex = hexOf(bytesOf(m));
        EXPECT_EQ(hay.find(text), std::string::npos) << m.kind << " " << m.original << " left as text";
        EXPECT_EQ(upperFile.find(hex), std::string::npos) << m.kind << " " << m.original << " left as bytes " << hex;
    }
    EXPECT_EQ(readFile(redacted).find(kKey), std::string::npos);
    EXPECT_EQ(readFile(map).find(kKey), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Worlds, RedactedRecording,
                         ::testing::Values("worlds/sample.json", "tests/record/worlds/hostile.json",
                                           "tests/fabric/worlds/rnid-platforms.json",
                                           "tests/inventory/worlds/disks.json", "tests/entities/worlds/edges.json"),
                         [](const auto& info) { return fs::path(info.param).stem().string() == "rnid-platforms"
                                                           ? std::string("rnid_platforms")
                                                           : fs::path(info.param).stem().string(); });

}  // namespace
