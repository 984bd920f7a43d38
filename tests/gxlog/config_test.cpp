// The configuration registry: dotted-name hierarchy, inheritance and the order in which
// a node's configuration is applied to an object, read from real properties files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "gxlog/src/GXgConfig.h"
#include "gxlog/src/GXgReadProps.h"

namespace gxlog {
namespace {

namespace fs = std::filesystem;
using Applied = std::vector<std::pair<std::string, std::string>>;

void readFile(GXgConfigRegistry& registry, const std::string& name, const std::string& content) {
    const fs::path dir = fs::path(ATTRSCAN_BINARY_DIR) / "tests" / "gxlog" / "config";
    fs::create_directories(dir);
    const fs::path path = dir / (name + ".properties");
    std::ofstream(path, std::ios::binary) << content;
    ASSERT_TRUE(GXgReadProps(path.string().c_str(), registry)) << content;
}

Applied applyTo(GXgConfigRegistry& registry, const std::string& object) {
    Applied applied;
    registry.apply(object, [&](const std::string& p, const std::string& v) { applied.emplace_back(p, v); });
    return applied;
}

std::optional<std::string> inherited(GXgConfigRegistry& registry, const char* object, const char* property) {
    auto node = registry.getNode(object);
    return node ? registry.getProperty(*node, property) : std::nullopt;
}

TEST(Config, AncestorsReadAfterDescendantsStillPassOnTheirProperties) {
    GXgConfigRegistry registry;
    readFile(registry, "late_ancestor",
             "native.trace.attributeScanner.level=DEBUG_MAX\n"
             "native.className=gxg_basiclogger\n"
             "a.p=1\n"
             "a.b.c.p=3\n"
             "a.b.p=2\n");
    EXPECT_EQ(inherited(registry, "native.trace.attributeScanner", "className"), "gxg_basiclogger");
    EXPECT_EQ(inherited(registry, "nativeX", "className"), std::nullopt);  // not a dotted prefix
    // The order applied shows the chain a -> a.b -> a.b.c was linked up afterwards.
    EXPECT_EQ(applyTo(registry, "a.b.c"), (Applied{{"p", "1"}, {"p", "2"}, {"p", "3"}}));

    // Below a parent that exists: m.n.o.q hangs from m, moves to m.n when that appears,
    // then to m.n.o; the sibling m.nX is no descendant of m.n and stays.
    readFile(registry, "late_middle", "m.p=1\nm.n.o.q.p=4\nm.nX.p=9\nm.n.p=2\nm.n.o.p=3\n");
    EXPECT_EQ(registry.findNode("m.n.o.q")->parent, registry.findNode("m.n.o"));
    EXPECT_EQ(registry.findNode("m.nX")->parent, registry.findNode("m"));
    EXPECT_EQ(applyTo(registry, "m.n.o.q"), (Applied{{"p", "1"}, {"p", "2"}, {"p", "3"}, {"p", "4"}}));
}

TEST(Config, AncestorsApplyFirstAndTheNearestValueWins) {
    GXgConfigRegistry registry;
    readFile(registry, "apply_order",
             "x.level=INFO\n"
             "x.listenerNames=h1 h2\n"
             "x.y.level=DEBUG_MAX\n"
             "x.y.z.formatterName=f\n");
    EXPECT_EQ(applyTo(registry, "x.y.z.w"),
              (Applied{{"level", "INFO"}, {"listenerNames", "h1 h2"}, {"level", "DEBUG_MAX"}, {"formatterName", "f"}}));
    EXPECT_EQ(applyTo(registry, "x.y.z"),
              (Applied{{"level", "INFO"}, {"listenerNames", "h1 h2"}, {"level", "DEBUG_MAX"}, {"formatterName", "f"}}));
    // An object with no configuration of its own gets a node, and nothing is applied.
    EXPECT_EQ(applyTo(registry, "unrelated"), Applied{});
    EXPECT_TRUE(registry.findNode("unrelated"));
}

TEST(Config, ANodeUnderTheRootSearchesForItsParentWhenApplied) {
    GXgConfigRegistry registry;
    auto lonely = registry.getNode("p.q.r");
    EXPECT_FALSE(lonely->parent);
    ASSERT_TRUE(registry.setProperty("p", "level", "WARN"));
    // Setting "p" adopted the node already; applying finds it either way.
    EXPECT_EQ(applyTo(registry, "p.q.r"), (Applied{{"level", "WARN"}}));
    EXPECT_EQ(lonely->parent, registry.findNode("p"));
}

TEST(Config, RootAndInvalidNames) {
    GXgConfigRegistry registry;
    EXPECT_EQ(registry.getNode("/"), nullptr);
    EXPECT_EQ(registry.getNode(nullptr), nullptr);
    EXPECT_FALSE(registry.setProperty(nullptr, "p", "v"));
    EXPECT_FALSE(registry.setProperty("o", nullptr, "v"));
    EXPECT_FALSE(registry.setProperty("o", "p", nullptr));
    EXPECT_FALSE(registry.setProperty("", "p", "v"));
    EXPECT_FALSE(registry.setProperty("o", "", "v"));
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_TRUE(registry.setProperty("o", "p", ""));
    EXPECT_EQ(registry.size(), 1u);
}

// Enough objects that the registry's name table grows many times and its node and text
// chunks fill up; a child named before its parent every seventh object, values set again
// out of order (they keep their place), and one value longer than a text chunk's share.
TEST(Config, ManyObjectsKeepTheirPropertiesAndParentsAsTheRegistryGrows) {
    constexpr int kObjects = 3000;
    const std::string longValue(20000, 'v');
    std::string file;
    for (int i = 0; i < kObjects; ++i) {
        const std::string name = "o" + std::to_string(i);
        if (i % 7 == 0) file += name + ".c.level=INFO\n";
        file += name + ".a=" + std::to_string(i) + "\n" + name + ".b=x\n";
    }
    for (int i = 0; i < kObjects; i += 5) file += "o" + std::to_string(i) + ".a=again" + std::to_string(i) + "\n";
    file += "o1.long=" + longValue + "\n";
    GXgConfigRegistry registry;
    readFile(registry, "many_objects", file);
    EXPECT_EQ(registry.size(), static_cast<std::size_t>(kObjects + (kObjects + 6) / 7));
    for (int i = 0; i < kObjects; ++i) {
        const std::string name = "o" + std::to_string(i);
        SCOPED_TRACE(name);
        const GXgObjConfig* node = registry.findNode(name);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->name, name);
        const std::string a = i % 5 == 0 ? "again" + std::to_string(i) : std::to_string(i);
        Applied expected{{"a", a}, {"b", "x"}};
        if (i == 1) expected.emplace_back("long", longValue);
        EXPECT_EQ(applyTo(registry, name), expected);
        if (i % 7 == 0) {
            const GXgObjConfig* child = registry.findNode(name + ".c");
            ASSERT_TRUE(child);
            EXPECT_EQ(child->parent, node);
        }
    }
    EXPECT_FALSE(registry.findNode("o3000"));
    EXPECT_FALSE(registry.findNode("o1.c"));
}

}  // namespace
}  // namespace gxlog
