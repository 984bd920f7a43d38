// Shared helpers of the portability-layer tests: status comparison and printing, and a
// scratch directory that each test works in.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "portability/zur.h"

bool operator==(const ZurStatus& a, const ZurStatus& b);
void PrintTo(const ZurStatus& status, std::ostream* out);

constexpr ZurStatus status(int32_t code, uint32_t error, uint32_t category) {
    return ZurStatus{code, error, category};
}
constexpr ZurStatus kOk = status(0, 0, 0);

// Each test runs in a fresh, empty directory of its own, which is also the current
// directory while the test runs; everything is removed afterwards.
class ScratchDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Absolute path of a name inside the scratch directory, in the platform's own form.
    std::string absolute(const std::string& name) const;
    // Writes a file with the given content (binary).
    void writeFile(const std::string& name, const std::string& content) const;
    // The content of a file (binary); empty when it does not exist.
    std::string readFile(const std::string& name) const;

    std::filesystem::path scratch_;

private:
    std::filesystem::path previous_;
};
