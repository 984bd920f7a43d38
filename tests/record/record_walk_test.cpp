// The HBA recording decorator: every test world's SAN is walked through the recorder, the
// recording is checked against the world schema, and a walk of the recording gives every
// answer back byte for byte (raw answers, sense data, cut and over-long answers included).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "record/hba_recorder.h"
#include "sim/world.h"
#include "tests/record/record_worlds.h"
#include "tests/sim-hba/san_walk.h"
#include "tests/support/test_helpers.h"

namespace {

const hba::HbaApi& library() {
#ifdef SANSIM_DROPIN
    static const hba::HbaLibrary lib(SANSIM_DROPIN);
#else
    static const hba::HbaLibrary lib;  // hbaapi.dll beside the test program
#endif
    return lib.api();
}

class RecordedSan : public ::testing::TestWithParam<std::string> {};

TEST_P(RecordedSan, ReplaysEveryAnswer) {
    ASSERT_TRUE(library().HBA_LoadLibrary != nullptr);
    testsupport::setEnv("SANSIM_WORLD", testsupport::hostPath(GetParam()));
    std::string original;
    nlohmann::ordered_json world = {{"host", nlohmann::ordered_json::object()}};
    {
        record::HbaRecorder recorder(library());
        original = simtest::walkSan(recorder.api());
        if (auto h = recorder.hbaSection(); !h.is_null()) world["hba"] = h;
    }
    const std::string text = world.dump(1);
    const sim::WorldLoadResult checked = sim::parseWorld("recording", text);
    ASSERT_TRUE(checked.world) << checked.error;

    // One file per world: the library reads a world again only when its path, size or
    // time stamp changed, which a rewrite within the same second may not show.
    const std::string path =
        (std::filesystem::temp_directory_path() / ("record_walk_" + recordtest::worldLabel(GetParam()) + ".json")).string();
    std::ofstream(path, std::ios::binary) << text;
    testsupport::setEnv("SANSIM_WORLD", testsupport::hostPath(path));
    EXPECT_EQ(simtest::walkSan(library()), original);
    testsupport::setEnv("SANSIM_WORLD", "");
    library().HBA_FreeLibrary();
}

INSTANTIATE_TEST_SUITE_P(Worlds, RecordedSan,
                         ::testing::ValuesIn(recordtest::repositoryWorlds(testsupport::hostPath(ATTRSCAN_SOURCE_DIR))),
                         [](const auto& info) { return recordtest::worldLabel(info.param); });

}  // namespace
