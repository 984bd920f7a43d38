// The scan's floor in the benchmarks replays the scan's HBA calls from its call log: the
// replay's own call log must be the scan's, line for line.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_program.h"

namespace {

using testsupport::readFile;
using testsupport::runProgram;

TEST(Replay, MakesExactlyTheScansCalls) {
    const std::string dir = ::testing::TempDir();
    for (const std::vector<std::string>& world :
         {std::vector<std::string>{"--luns", "600"}, {"--varied", "--seed", "3"}, {"--varied", "--seed", "11"},
          {"--varied", "--twist", "report-luns-many"}, {"--varied", "--twist", "rnid-raw"},
          {"--varied", "--twist", "other-vendor-adapter"}, {"--varied", "--twist", "open-fails"}}) {
        SCOPED_TRACE(world[0] + " " + world[1]);
        const std::string path = dir + "replay-world.json", scanLog = dir + "scan.calls", replayLog = dir + "replay.calls";
        std::vector<std::string> args = world;
        args.insert(args.end(), {"-o", path});
        ASSERT_EQ(runProgram(WORLDGEN, args).exitCode, 0);
        std::remove(scanLog.c_str());
        std::remove(replayLog.c_str());
        const std::string lib = ATTRSCAN_BINARY_DIR "/sim";
        const auto scan = runProgram(ATTRSCAN_BINARY_DIR "/driver/attrscan", {"a", "b", "G"},
                                     {{"SANSIM_WORLD", path}, {"SANSIM_CALL_LOG", scanLog}, {"LD_LIBRARY_PATH", lib}});
        ASSERT_EQ(scan.exitCode, 0) << scan.err;
        const auto replay = runProgram(HBA_REPLAY, {scanLog, std::to_string(scan.out.size())},
                                       {{"SANSIM_WORLD", path}, {"SANSIM_CALL_LOG", replayLog}, {"LD_LIBRARY_PATH", lib}});
        ASSERT_EQ(replay.exitCode, 0) << replay.err;
        EXPECT_EQ(replay.err, "");
        EXPECT_EQ(replay.out.size(), scan.out.size());
        EXPECT_FALSE(readFile(scanLog).empty());
        EXPECT_EQ(readFile(replayLog), readFile(scanLog));
    }
}

}  // namespace
