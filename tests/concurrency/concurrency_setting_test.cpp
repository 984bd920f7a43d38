// ATTRSCAN_CONCURRENCY: what counts as a width, and that everything else is the
// sequential scan.
#include <gtest/gtest.h>

#include "driver/scan_pass.h"

namespace {

TEST(ConcurrencySetting, ReadsADecimalWidthAndFallsBackToSequential) {
    struct Case {
        const char* setting;
        unsigned width;
    };
    const Case cases[] = {
        {nullptr, 1}, {"", 1},    {"1", 1},     {"8", 8},   {"08", 8},  {"32", 32}, {"33", 32},
        {"99999999999999999999", 32},  // saturates instead of wrapping
        {"0", 1},     {"-4", 1},  {"+4", 1},    {"4x", 1},  {" 4", 1},  {"4 ", 1},  {"four", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(driver::scanConcurrency(c.setting), c.width) << (c.setting ? c.setting : "(unset)");
}

}  // namespace
