// The registry search and registry value texts through simulated worlds: value types,
// matching modes, failures and the key-list bound. (What a drive survey measures is in
// the drives documents.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "inventory/drive_survey.h"
#include "inventory/registry_search.h"
#include "sim/world.h"

namespace {

using nlohmann::json;

void useWorldFile(const std::string& path) {
    setenv("SANSIM_WORLD", path.c_str(), 1);
    sim::resetWorld();
    ASSERT_NE(sim::world(), nullptr);
}

void useWorld(const json& world) {
    const std::string path = ::testing::TempDir() + "inventory-world.json";
    std::ofstream(path) << world.dump();
    useWorldFile(path);
}

json world(json registryKeys) {
    return {{"host", {{"registry", {{"keys", std::move(registryKeys)}}}}}};
}

json value(const std::string& name, const std::string& type, json data) {
    json v = {{"name", name}, {"type", type}};
    if (!data.is_null()) v[data.is_string() && type != "string" && type != "expandString" ? "hex" : "data"] = data;
    return v;
}

TEST(ReadRegistryValueText, ConvertsEachTypeAndCollapsesBlanks) {
    useWorld(world({{{"name", "K"},
                     {"values",
                      {value("sz", "string", "  two   words "), value("expand", "expandString", "%SystemRoot%\\x"),
                       value("bin", "binary", "41420043"), value("dword", "dword", -5),
                       value("dwordBig", "dwordBigEndian", 1), value("multi", "multiString", json{"a b", "", "c"}),
                       value("other", "other", "414243"), {{"name", "shortDword"}, {"type", "dword"}, {"hex", "0102"}},
                       {{"name", "unterminated"}, {"type", "string"}, {"hex", "414243"}},
                       value("long", "string", std::string(2000, 'L'))}}}}));
    auto key = platform::RegistryKey::openLocalMachine("k");
    ASSERT_TRUE(key);

    struct Row {
        const char* name;
        bool hex;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"sz", false, "two words"},
        {"expand", false, "%SystemRoot%\\x"},
        {"bin", false, "AB"},          // bytes as characters: the zero byte ends the text
        {"bin", true, "41420043"},
        {"dword", false, "-5"},
        {"dwordBig", false, "16777216"},  // the bytes as stored, little end first
        {"multi", false, "a b"},          // an empty string ends the list
        {"shortDword", false, "513"},
        {"unterminated", false, "ABC"},
        {"long", false, std::string(1023, 'L')},
    };
    for (const auto& r : rows) {
        std::string out = "old";
        EXPECT_EQ(inv::readRegistryValueText(*key, r.name, out, 1024, r.hex), 1) << r.name;
        EXPECT_EQ(out, r.expected) << r.name;
    }
    std::string out = "  kept   as  it was ";
    EXPECT_EQ(inv::readRegistryValueText(*key, "other", out, 1024, false), 1);
    EXPECT_EQ(out, "kept as it was");
    out = "untouched  ";
    EXPECT_EQ(inv::readRegistryValueText(*key, "missing", out, 1024, false), 0);
    EXPECT_EQ(out, "untouched  ");
    // The copy is bounded first (three characters, "  t"), then collapsed.
    EXPECT_EQ(inv::readRegistryValueText(*key, "sz", out, 4, false), 1);
    EXPECT_EQ(out, "t");
}

json unit(const std::string& name, json values) { return {{"name", name}, {"values", std::move(values)}}; }

TEST(FindRegistryKeys, PreOrderMatchesAndFailures) {
    const json disk = value("Type", "string", "DiskPeripheral");
    useWorld(world({{{"name", "HARDWARE"},
                     {"values", {value("TYPE", "string", "DiskPeripheral")}},
                     {"keys",
                      {{{"name", "A"},
                        {"keys",
                         {unit("A1", {value("Other", "string", "DiskPeripheral"), value("tYpE", "string", "diskperipheral")}),
                          unit("A2", {value("Type", "string", "DiskPeripheral2")}),
                          {{"name", "A3"}, {"openFails", true}, {"values", {disk}}},
                          {{"name", "A4"}, {"enumFails", true}, {"values", {disk}}, {"keys", {unit("hidden", {disk})}}},
                          {{"name", "A5"}, {"queryFails", true}, {"values", {disk}}},
                          unit("A6", {value("Type", "string", std::string(1100, 'x')), disk})}}},
                       unit("B", {value("Type", "dword", 7)}),
                       {{"name", "C"}, {"keys", {unit("DiskPeripheral", json::array())}}}}}}}));

    std::vector<std::string> keys;
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE", std::nullopt, "TYPE", "DiskPeripheral", keys, true), 1);
    EXPECT_EQ(keys, (std::vector<std::string>{"HARDWARE", "HARDWARE\\A\\A1", "HARDWARE\\A\\A4", "HARDWARE\\A\\A6"}));

    // Data pattern alone, not exact: the pattern may occur anywhere, in any case.
    keys.clear();
    inv::findRegistryKeys("HARDWARE", std::nullopt, std::nullopt, "peripheral2", keys, false);
    EXPECT_EQ(keys, (std::vector<std::string>{"HARDWARE\\A\\A2"}));

    // Key-name pattern: the subkey's path is listed (in upper case when not exact).
    keys.clear();
    inv::findRegistryKeys("HARDWARE", "diskperipheral", std::nullopt, std::nullopt, keys, true);
    EXPECT_EQ(keys, (std::vector<std::string>{"HARDWARE\\C\\DiskPeripheral"}));
    keys.clear();
    inv::findRegistryKeys("HARDWARE", "isk", std::nullopt, std::nullopt, keys, false);
    EXPECT_EQ(keys, (std::vector<std::string>{"HARDWARE\\C\\DISKPERIPHERAL"}));

    keys.clear();
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE\\A\\A3", std::nullopt, "Type", std::nullopt, keys, true), 0);
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE\\A\\A4", std::nullopt, "Type", std::nullopt, keys, true), 0);
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE\\A\\A5", std::nullopt, "Type", std::nullopt, keys, true), 0);
    EXPECT_EQ(inv::findRegistryKeys("NOWHERE", std::nullopt, "Type", std::nullopt, keys, true), 0);
    EXPECT_EQ(keys, (std::vector<std::string>{"HARDWARE\\A\\A4"}));
}

TEST(FindRegistryKeys, KeepsAtMostTheBound) {
    json units = json::array();
    for (int i = 0; i < 1005; ++i) units.push_back(unit("U" + std::to_string(i), {value("Type", "string", "DiskPeripheral")}));
    useWorld(world({{{"name", "HARDWARE"}, {"keys", {{{"name", "Many"}, {"keys", units}}}}}}));

    std::vector<std::string> keys;
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE", std::nullopt, "Type", "DiskPeripheral", keys, true), 1);
    ASSERT_EQ(keys.size(), inv::kMaxRegistryKeys);
    EXPECT_EQ(keys.back(), "HARDWARE\\Many\\U999");
}

TEST(CollectDriveList, NoWorldNoDrives) {
    unsetenv("SANSIM_WORLD");
    sim::resetWorld();
    EXPECT_TRUE(inv::collectDriveList().empty());
    std::vector<std::string> keys;
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE", std::nullopt, "Type", "DiskPeripheral", keys, true), 0);
}

}  // namespace
