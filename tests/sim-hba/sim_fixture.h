// Shared helpers of the simulated-library tests: a world per test, the call log, bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hba/hba_library.h"
#include "tests/hba/san_test_support.h"
#include "tests/support/test_helpers.h"

namespace simtest {

using Bytes = std::vector<uint8_t>;

// "01 02 0A" -> {1, 2, 10}; blanks are ignored.
Bytes bytes(std::string_view hex);
using testsupport::hex;
using testsupport::setEnv;
inline std::string hex(const Bytes& b) { return hex(b.data(), b.size()); }
// Text as its bytes, padded with blanks to width.
std::string padded(std::string_view text, std::size_t width);

// The drop-in library, loaded once per test program.
const hba::HbaApi& api();

class SimHba : public ::testing::Test {
protected:
    void TearDown() override;
    // Writes the world, points SANSIM_WORLD at it, calls HBA_LoadLibrary and starts an empty
    // call log.
    void useWorld(std::string_view json);
    // Opens adapter index (its name from the library).
    HBA_HANDLE open(HBA_UINT32 index = 0);
    std::vector<std::string> callLog() const { return world_->calls(); }

    std::optional<santest::World> world_;
};

// An FC-GS request: the 16-byte preamble and the payload.
Bytes ctRequest(uint8_t type, uint8_t subtype, uint16_t code, const Bytes& payload = {});
// A 256-byte length-prefixed name block.
Bytes nameBlock(std::string_view name);

}  // namespace simtest
