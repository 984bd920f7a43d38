#include <gtest/gtest.h>

#include "tests/hba-abi/layout_facts.h"

namespace {

TEST(HbaAbi, OurRecordsMatchTheSystemHeader) {
    const hba_abi::LayoutFacts ours = hba_abi::ourLayout();
    const hba_abi::LayoutFacts system = hba_abi::systemLayout();
    ASSERT_EQ(ours.size(), system.size());
    for (const auto& [name, value] : system) {
        auto it = ours.find(name);
        ASSERT_NE(it, ours.end()) << name;
        EXPECT_EQ(it->second, value) << name;
    }
    // The two records the scanner copies whole, at their published sizes.
    EXPECT_EQ(ours.at("HBA_ADAPTERATTRIBUTES"), 2192u);
    EXPECT_EQ(ours.at("HBA_PORTATTRIBUTES"), 632u);
}

}  // namespace
