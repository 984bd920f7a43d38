// The adapter table: enumeration, opening and attributes through the simulated library,
// and the QLogic switches (the limit of 32 adapters is the scan pass's full-table test).
#include <gtest/gtest.h>

#include "hba/adapter_table.h"
#include "tests/hba/san_test_support.h"

namespace {

using santest::Json;

const hba::HbaApi& api() { return santest::simulatedLibrary().api(); }

TEST(AdapterTable, QLogicSwitchesCompareDriverVersionsBytewise) {
    const std::array<std::tuple<std::string_view, bool, bool>, 9> rows = {{
        // driver version, RNID, REPORT LUNS LUN ids
        {"8.1.4.5", true, true},
        {"8.2", true, true},
        {"9.0", true, true},
        {"10.1", false, false},  // '1' < '8'
        {"8.00.08", false, false},
        {"8.00.081", false, false},  // only seven characters count for the LUN ids
        {"8.00.09", false, true},
        {"8.00.07", false, false},
        {"", false, false},
    }};
    for (const auto& [version, rnid, lunIds] : rows) {
        EXPECT_EQ(hba::rnidSupportedByDriver(version), rnid) << version;
        EXPECT_EQ(hba::scsiLunIdsByDriver(version), lunIds) << version;
    }
    EXPECT_TRUE(hba::isQLogicAdapterName("QLogic"));
    EXPECT_TRUE(hba::isQLogicAdapterName("QLogic-QLA2342-0"));
    EXPECT_FALSE(hba::isQLogicAdapterName("Qlogic-QLA2342-0"));
    EXPECT_FALSE(hba::isQLogicAdapterName("QLogi"));
    EXPECT_FALSE(hba::isQLogicAdapterName(" QLogic"));
}

TEST(AdapterTable, FailuresSkipOnlyTheirAdapterAndAreCalledInOrder) {
    Json unopenable = santest::adapter("Emulex-B", "2000000000000002", "5.1", Json::array());
    unopenable["openFails"] = true;
    Json noAttributes = santest::adapter("QLogic-C", "2000000000000003", "9.0", Json::array());
    noAttributes["attributesStatus"] = 1;
    Json noName = santest::adapter("QLogic-D", "2000000000000004", "9.0", Json::array());
    noName["nameStatus"] = 6;
    Json world = santest::worldWithHba(
        {{"adapters", Json::array({santest::adapter("QLogic-A", "2000000000000001", "8.00.08", Json::array()),
                                   unopenable, noAttributes, noName,
                                   santest::adapter("Emulex-E", "2000000000000005", "1.0", Json::array())})}});
    santest::World w(world);

    hba::AdapterTable table;
    table.rnidSupported = true;  // cleared by the initialisation
    EXPECT_EQ(hba::SDInitializeInternals(api(), table), 0);

    EXPECT_EQ(table.adapterCount, 5u);
    EXPECT_EQ(table.enabledCount, 2u);
    ASSERT_EQ(table.entries.size(), 5u);
    const std::array<uint8_t, 5> states = {2, 0, 0, 0, 2};
    for (std::size_t i = 0; i < states.size(); ++i) EXPECT_EQ(table.entries[i].state, states[i]) << i;

    EXPECT_EQ(table.entries[0].hbaApiVersion, 2u);
    // Only QLogic-A, an old driver, decided the switches: the non-QLogic adapter after it
    // leaves them.
    EXPECT_FALSE(table.rnidSupported);
    EXPECT_FALSE(table.scsiLunIds);

    const std::vector<std::string> expected = {
        "HBA_LoadLibrary -> status=0",
        "HBA_GetNumberOfAdapters -> count=5",
        "HBA_GetAdapterName index=0 -> status=0 name=\"QLogic-A\"",
        "HBA_OpenAdapter name=\"QLogic-A\" -> handle=1",
        "HBA_RefreshInformation handle=1",
        "HBA_GetAdapterAttributes handle=1 -> status=0",
        "HBA_GetVersion -> version=2",
        "HBA_GetAdapterName index=1 -> status=0 name=\"Emulex-B\"",
        "HBA_OpenAdapter name=\"Emulex-B\" -> handle=0",
        "HBA_GetAdapterName index=2 -> status=0 name=\"QLogic-C\"",
        "HBA_OpenAdapter name=\"QLogic-C\" -> handle=2",
        "HBA_RefreshInformation handle=2",
        "HBA_GetAdapterAttributes handle=2 -> status=1",
        "HBA_CloseAdapter handle=2",
        "HBA_GetAdapterName index=3 -> status=6",
        "HBA_GetAdapterName index=4 -> status=0 name=\"Emulex-E\"",
        "HBA_OpenAdapter name=\"Emulex-E\" -> handle=3",
        "HBA_RefreshInformation handle=3",
        "HBA_GetAdapterAttributes handle=3 -> status=0",
        "HBA_GetVersion -> version=2",
    };
    EXPECT_EQ(w.calls(), expected);
}

TEST(AdapterTable, SwitchesKeepTheirDefaultsWithoutQLogicAndFollowTheLastQLogic) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> adapters;  // name, driver version
        bool rnid;
        bool lunIds;
    };
    const std::vector<Case> cases = {
        {{{"Emulex-LP9002", "5-1.02a3"}}, false, true},
        {{{"QLogic-A", "8.1.4.5"}}, true, true},
        {{{"QLogic-A", "8.1.4.5"}, {"QLogic-B", "8.00.07"}}, false, false},
        {{{"QLogic-A", "8.00.07"}, {"QLogicX", "9.0"}, {"Qlogic-C", "1.0"}}, true, true},
    };
    for (const Case& c : cases) {
        Json adapters = Json::array();
        for (std::size_t i = 0; i < c.adapters.size(); ++i)
            adapters.push_back(santest::adapter(c.adapters[i].first, santest::wwnText(0x20, static_cast<uint32_t>(i)),
                                                c.adapters[i].second, Json::array()));
        santest::World w(santest::worldWithHba({{"adapters", adapters}}));
        hba::AdapterTable table;
        hba::SDInitializeInternals(api(), table);
        EXPECT_EQ(table.rnidSupported, c.rnid) << c.adapters.back().first;
        EXPECT_EQ(table.scsiLunIds, c.lunIds) << c.adapters.back().first;
    }
}

}  // namespace
