#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/world.h"
#include "tests/support/run_program.h"

namespace {

using testsupport::runProgram;

// Named after the process: the posix and sanitizer builds' tests may run at once.
std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "worldgen_" + name + "_" + std::to_string(::getpid()) + ".json";
}

// The logical units of a world as the simulated library holds them, target by target.
uint32_t unitsIn(const nlohmann::json& world) {
    uint32_t units = 0;
    for (const auto& adapter : world["hba"]["adapters"])
        for (const auto& port : adapter["discoveredPorts"]) units += port["target"]["units"].size();
    return units;
}

TEST(Worldgen, SizedWorldsHoldTheUnitsAskedForAndPassTheSchema) {
    struct Case {
        std::vector<std::string> args;
        std::string summary;
    };
    const std::vector<Case> cases = {
        {{"--luns", "1000"}, "1000 logical units, 8 targets, 2 adapters, 16 SAN disks"},
        {{"--luns", "5"}, "5 logical units, 3 targets, 2 adapters, 1 SAN disks"},
        {{"--luns", "1", "--adapters", "1"}, "1 logical units, 1 targets, 1 adapters, 1 SAN disks"},
        // An odd unit left over goes to an array seen through one adapter only.
        {{"--luns", "4097", "--adapters", "3", "--luns-per-target", "100", "--disks", "0"},
         "4097 logical units, 48 targets, 3 adapters, 65 SAN disks"},
        {{"--luns", "12", "--latency", "scsi=200", "--latency", "ct=100-3000", "--latency", "rnid=0-1",
          "--latency", "attributes=7"},
         "12 logical units, 6 targets, 2 adapters, 1 SAN disks"},
        {{"--luns", "20000", "--luns-per-target", "256", "--disks", "30"},
         "20000 logical units, 96 targets, 8 adapters, 30 SAN disks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.summary);
        const std::string path = tempPath("sized");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", path});
        const auto r = runProgram(WORLDGEN, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "worldgen: " + c.summary + "; twists: none\n");
        EXPECT_EQ(r.out, "");
        const auto loaded = sim::loadWorldFile(path);
        ASSERT_TRUE(loaded.world) << loaded.error;
        EXPECT_EQ(std::to_string(unitsIn(*loaded.world)) + " logical units", c.summary.substr(0, c.summary.find(',')));
        std::remove(path.c_str());
    }
}

TEST(Worldgen, TheSeedAloneDecidesTheWorld) {
    const auto once = runProgram(WORLDGEN, {"--varied", "--seed", "41"});
    const auto again = runProgram(WORLDGEN, {"--varied", "--seed", "41"});
    const auto other = runProgram(WORLDGEN, {"--varied", "--seed", "42"});
    ASSERT_EQ(once.exitCode, 0);
    EXPECT_EQ(once.out, again.out);
    EXPECT_EQ(once.err, again.err);
    EXPECT_NE(once.out, other.out);
    const auto sized = runProgram(WORLDGEN, {"--luns", "300", "--seed", "41"});
    EXPECT_EQ(sized.out, runProgram(WORLDGEN, {"--luns", "300", "--seed", "41"}).out);
    EXPECT_NE(sized.out, runProgram(WORLDGEN, {"--luns", "300", "--seed", "40"}).out);
}

// Every twist finds a place in a varied world of any seed, and the world still passes
// the schema.
TEST(Worldgen, EveryTwistFindsAPlaceAndPassesTheSchema) {
    const auto list = runProgram(WORLDGEN, {"--twists"});
    ASSERT_EQ(list.exitCode, 0);
    std::vector<std::string> twists;
    for (std::size_t at = 0, end; (end = list.out.find('\n', at)) != std::string::npos; at = end + 1)
        twists.push_back(list.out.substr(at, end - at));
    ASSERT_GE(twists.size(), 50u);
    for (const auto& twist : twists) {
        for (const char* seed : {"1", "2", "3"}) {
            SCOPED_TRACE(twist + " seed " + seed);
            const auto r = runProgram(WORLDGEN, {"--varied", "--twist", twist, "--seed", seed});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_NE(r.err.find("; twists: " + twist + "\n"), std::string::npos) << r.err;
            const auto loaded = sim::parseWorld("generated", r.out);
            EXPECT_TRUE(loaded.world) << loaded.error;
        }
    }
}

TEST(Worldgen, RefusesWhatTheScannerCannotHoldAndBadArguments) {
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string err;
    };
    const std::string usage =
        "usage: worldgen --luns N [--adapters A] [--luns-per-target L] [--disks D] [OPTIONS]\n"
        "       worldgen --varied [--twist NAME]... [OPTIONS]\n"
        "       worldgen --twists\n"
        "OPTIONS: --seed S, -o FILE, --latency KIND=US or KIND=MIN-MAX (KIND: scsi, ct, rnid, attributes)\n";
    const std::vector<Case> cases = {
        {{"--luns", "300000", "--adapters", "1"}, 1,
         "worldgen: more than 512 targets on one adapter: give more adapters or more units per target\n"},
        {{"--luns", "100", "--adapters", "33"}, 1, "worldgen: more than 32 adapters\n"},
        {{"--twist", "no-such-twist"}, 2, "worldgen: unknown twist no-such-twist (see --twists)\n"},
        {{"--luns", "0"}, 2, usage},
        {{"--luns", "-5"}, 2, usage},
        {{"--luns"}, 2, usage},
        {{"--latency", "disk=5"}, 2, usage},
        {{"--latency", "scsi=300-200"}, 2, usage},
        {{"--latency", "scsi=10000001"}, 2, usage},
        {{"--seed", "18446744073709551616"}, 2, usage},
        {{"-o", "/nonexistent-folder/w.json"}, 1, "worldgen: cannot write /nonexistent-folder/w.json: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const auto r = runProgram(WORLDGEN, c.args);
        EXPECT_EQ(r.exitCode, c.exit);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
