// Recording a whole scan (ATTRSCAN_RECORD) and scanning the recording: for every world
// the replay prints the same document, writes the same trace and makes the same HBA calls
// as the recorded scan, and the recorded scan itself is the scan without recording.
// Recording faults cost one line on standard error and nothing else.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "sim/world.h"
#include "tests/record/record_worlds.h"
#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::setEnv;

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kLibraryDir = ATTRSCAN_BINARY_DIR "/sim";
// Named after the process: two builds' tests (and other checkouts') may run at once.
const fs::path kScratch = fs::temp_directory_path() / ("record_replay_test_" + std::to_string(::getpid()));

struct Scan {
    testsupport::ProgramResult result;
    std::string trace;
    std::string calls;
};

// One traced scan of world; records into recordTo unless it is empty.
Scan scan(const std::string& world, const std::string& recordTo, const std::string& name) {
    const fs::path home = kScratch / name;
    const std::string calls = (kScratch / (name + ".calls")).string();
    fs::remove(calls);
    setEnv("SANSIM_WORLD", world);
    setEnv("SANSIM_CALL_LOG", calls);
    setEnv("ATTRSCAN_RECORD", recordTo);
    Scan s;
    s.result = testsupport::runScanWithTrace(home.string(), s.trace);
    s.calls = readFile(calls);
    setEnv("ATTRSCAN_RECORD", "");
    setEnv("SANSIM_CALL_LOG", "");
    setEnv("SANSIM_WORLD", "");
    return s;
}

class RecordedScan : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { fs::create_directories(kScratch); }
};

TEST_P(RecordedScan, ReplaysDocumentTraceAndCalls) {
    const std::string recording = (kScratch / "recording.json").string();
    fs::remove(recording);
    const Scan plain = scan(GetParam(), "", "plain");
    const Scan recorded = scan(GetParam(), recording, "recorded");
    EXPECT_EQ(recorded.result.out, plain.result.out);
    EXPECT_EQ(recorded.result.err, plain.result.err);
    EXPECT_EQ(recorded.trace, plain.trace);
    EXPECT_EQ(recorded.calls, plain.calls);

    const sim::WorldLoadResult checked = sim::loadWorldFile(recording);
    ASSERT_TRUE(checked.world) << checked.error;

    const Scan replayed = scan(recording, "", "replayed");
    EXPECT_EQ(replayed.result.exitCode, recorded.result.exitCode);
    EXPECT_EQ(replayed.result.err, "");
    EXPECT_EQ(replayed.result.out, recorded.result.out);
    EXPECT_EQ(replayed.trace, recorded.trace);
    EXPECT_EQ(replayed.calls, recorded.calls);
    EXPECT_FALSE(recorded.result.out.empty());
}

INSTANTIATE_TEST_SUITE_P(Worlds, RecordedScan, ::testing::ValuesIn(recordtest::repositoryWorlds(ATTRSCAN_SOURCE_DIR)),
                         [](const auto& info) { return recordtest::worldLabel(info.param); });

// The other modes record and replay their own documents.
struct ModeCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
};

class RecordedMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RecordedMode, ReplaysTheDocument) {
    fs::create_directories(kScratch);
    const std::string recording = (kScratch / "mode.json").string();
    const std::map<std::string, std::string> library{{"LD_LIBRARY_PATH", kLibraryDir}};
    auto env = library;
    env["SANSIM_WORLD"] = ATTRSCAN_SOURCE_DIR "/worlds/sample.json";
    env["ATTRSCAN_RECORD"] = recording;
    const auto recorded = testsupport::runProgram(kProgram, GetParam().args, env);
    EXPECT_EQ(recorded.exitCode, GetParam().exitCode);
    env["SANSIM_WORLD"] = recording;
    env["ATTRSCAN_RECORD"] = "";
    const auto replayed = testsupport::runProgram(kProgram, GetParam().args, env);
    EXPECT_EQ(replayed.exitCode, GetParam().exitCode);
    EXPECT_EQ(replayed.err, recorded.err);
    EXPECT_EQ(replayed.out, recorded.out);
}

INSTANTIATE_TEST_SUITE_P(Modes, RecordedMode,
                         ::testing::Values(ModeCase{"pe", {"10.1.1.1", "s", "G", "PE"}, 0},
                                           ModeCase{"fs", {"10.1.1.1", "s", "G", "FS"}, 0},
                                           ModeCase{"running", {"10.1.1.1", "s", "G", "Running"}, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where a recording cannot be written: one line on standard error, nothing else changes.
struct FaultCase {
    const char* name;
    std::string path;
};

class RecordingFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RecordingFault, CostsOneLineOnStandardError) {
    fs::create_directories(kScratch / "a-folder");
    const std::string world = ATTRSCAN_SOURCE_DIR "/worlds/sample.json";
    const Scan plain = scan(world, "", "fault-plain");
    const Scan faulty = scan(world, GetParam().path, "fault");
    EXPECT_EQ(faulty.result.exitCode, plain.result.exitCode);
    EXPECT_EQ(faulty.result.out, plain.result.out);
    EXPECT_EQ(faulty.trace, plain.trace);
    const std::string prefix = "attrscan: cannot record the scan to " + GetParam().path + ": ";
    EXPECT_EQ(faulty.result.err.rfind(prefix, 0), 0u) << faulty.result.err;
    EXPECT_EQ(std::count(faulty.result.err.begin(), faulty.result.err.end(), '\n'), 1) << faulty.result.err;
    EXPECT_EQ(faulty.result.err.back(), '\n');
    EXPECT_GT(faulty.result.err.size(), prefix.size() + 1) << "the reason is missing";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RecordingFault,
    ::testing::Values(FaultCase{"missing_folder", (kScratch / "no-such-folder" / "rec.json").string()},
                      FaultCase{"full_disk", "/dev/full"},
                      FaultCase{"path_is_a_folder", (kScratch / "a-folder").string()}),
    [](const auto& info) { return std::string(info.param.name); });

#ifdef RECORD_WORLDGEN
// Generated worlds (varied, one per seed): each is recorded and replayed like the
// repository's worlds.
class RecordedGeneratedWorld : public ::testing::TestWithParam<int> {};

TEST_P(RecordedGeneratedWorld, ReplaysDocumentTraceAndCalls) {
    fs::create_directories(kScratch);
    const std::string world = (kScratch / "generated.json").string();
    const std::string recording = (kScratch / "generated-recording.json").string();
    fs::remove(world);
    fs::remove(recording);
    const auto made =
        testsupport::runProgram(RECORD_WORLDGEN, {"--varied", "--seed", std::to_string(GetParam()), "-o", world});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const Scan recorded = scan(world, recording, "generated-recorded");
    ASSERT_TRUE(fs::exists(recording)) << recorded.result.err;
    const Scan replayed = scan(recording, "", "generated-replayed");
    EXPECT_EQ(replayed.result.exitCode, recorded.result.exitCode);
    EXPECT_EQ(replayed.result.out, recorded.result.out);
    EXPECT_EQ(replayed.trace, recorded.trace);
    EXPECT_EQ(replayed.calls, recorded.calls);
}

#ifndef RECORD_GENERATED_STEP
#define RECORD_GENERATED_STEP 1
#endif
INSTANTIATE_TEST_SUITE_P(Seeds, RecordedGeneratedWorld,
                         ::testing::Range(1, recordtest::kGeneratedWorlds + 1, RECORD_GENERATED_STEP));
#endif

}  // namespace
