// The scanner given a world it cannot use: one line on standard error, nothing on
// standard output, and an exit status that no scan returns. Nothing the path names may
// block the program or make it read without end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
constexpr int kUnusableWorldExit = 3;

std::string repeated(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
}

// A world whose adapter manufacturer is the given text (at most 63 characters).
std::string manufacturerWorld(const std::string& text) {
    return R"({"host": {}, "hba": {"adapters": [{"attributes": {"manufacturer": ")" + text + R"("}}]}})";
}

TEST(WorldFile, UnusableWorldStopsTheScanWithOneLine) {
    const std::string dir = ::testing::TempDir() + "world_file_test/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "folder");
    const std::string fifo = dir + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = dir + "large.json";
    testsupport::writeFile(large, "{");
    std::filesystem::resize_file(large, (256u << 20) + 1);  // sparse: nothing is written

    struct Case {
        std::string name;
        std::string path;     // the file to use, or empty to write content into one
        std::string content;
        std::string error;    // the line after "world file <path>: ", or empty for a usable world
    };
    const std::vector<Case> cases = {
        {"endless device", "/dev/zero", "", "(file): is not a regular file"},
        {"pipe without a writer", fifo, "", "(file): is not a regular file"},
        {"folder", dir + "folder", "", "(file): is not a regular file"},
        {"missing", dir + "missing.json", "", "(file): cannot be opened for reading"},
        {"larger than 256 MiB", large, "", "(file): is larger than 256 MiB"},
        {"not JSON", "", R"({"host": )",
         "byte 10: not valid JSON ([json.exception.parse_error.101] parse error at line 1, column 10: syntax "
         "error while parsing value - unexpected end of input; expected '[', '{', or a literal)"},
        {"missing member", "", R"({"host": {"version": {"platformId": 2}}})",
         R"(/host/version: the member "major" is missing)"},
        {"above maximum", "", R"({"host": {"processorArchitecture": 70000}})",
         "/host/processorArchitecture: 70000 is above the maximum 65535"},
        {"unknown member", "", R"({"host": {}, "disks": []})", R"(/disks: unknown member "disks")"},
        // Lengths count characters: 63 two-byte characters fit a 63-character field.
        {"63 characters", "", manufacturerWorld(repeated("\xC3\xA9", 63)), ""},
        {"64 characters", "", manufacturerWorld(repeated("\xC3\xA9", 64)),
         "/hba/adapters/0/attributes/manufacturer: text longer than 63 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.path;
        if (path.empty()) {
            path = dir + "world.json";
            testsupport::writeFile(path, c.content);
        }
        const auto r = testsupport::runProgram(kProgram, {"a", "b", "G"}, {{"SANSIM_WORLD", path}});
        if (c.error.empty()) {
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_EQ(r.err, "");
            EXPECT_NE(r.out.find("</AttributeXml>"), std::string::npos);
        } else {
            EXPECT_EQ(r.exitCode, kUnusableWorldExit);
            EXPECT_EQ(r.err, "world file " + path + ": " + c.error + "\n");
            EXPECT_EQ(r.out, "");
        }
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
