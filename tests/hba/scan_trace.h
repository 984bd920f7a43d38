// Shared by the trace tests of the discovery and fabric steps: the scanner's trace of one
// world, and one basic record of its discovery source. POSIX only (the program is started
// directly).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/hba/san_test_support.h"
#include "tests/support/run_program.h"

namespace santest {

inline std::string record(const std::string& method, int line, const std::string& text) {
    return testsupport::traceRecord("Portsurvey", method, line, text);
}

// Runs the program on world with the trace written to home/trace.log; returns the file's
// content (empty when the toolkit wrote nothing).
inline std::string traceOfScan(const Json& world, const std::string& home) {
    World w(world);
    std::string trace;
    const auto run = testsupport::runScanWithTrace(home, trace);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return trace;
}

}  // namespace santest
