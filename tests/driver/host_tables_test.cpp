// The naming tables of the host identity.
#include <gtest/gtest.h>

#include "inventory/host_identity.h"

TEST(HostTables, ProcessorArchitectureNames) {
    const std::pair<uint16_t, const char*> rows[] = {
        {0, "Intel"}, {1, "MIPS"}, {2, "Alpha"}, {3, "PowerPC"}, {4, "Unknown"},
        {6, "Unknown"}, {9, "Unknown"}, {0xFFFF, "Unknown"},
    };
    for (const auto& [code, name] : rows) EXPECT_EQ(inv::architectureName(code), name) << code;
}
