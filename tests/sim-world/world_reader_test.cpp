// The world reader: the logical units it packs come back whole, and a world that breaks the
// schema is reported with the problem a check of the whole document would report first.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim/json_schema.h"
#include "sim/world_reader.h"
#include "sim/world_schemas.h"

namespace {

using nlohmann::json;

// Units behind port 0 and behind a discovered port, and a target's catch-all unit.
const char* const kWorld = R"({
  "host": {"hostName": "H1"},
  "fabric": {"nameServer": {"ports": []}},
  "hba": {"adapters": [
    {"port": {"portWwn": "1000000000000001", "target": {"units": [{"lun": 0}, {"lun": 7, "page80": {"serial": "S7"}}]}},
     "discoveredPorts": [{"target": {"units": [{"lun": 3}]}}]},
    {"discoveredPorts": [
      {"portWwn": "2000000000000001", "target": {"units": [{"lun": "0001000000000000", "inquiry": {"vendor": "V"}}],
                                                 "anyUnit": {"lun": 0}}},
      {"portWwn": "2000000000000002"}]}]}
})";

// The world with every packed value read back.
json unpackedAll(const json& v) {
    if (v.is_binary()) return sim::unpacked(v);
    json out = v;
    if (v.is_object())
        for (auto it = v.begin(); it != v.end(); ++it) out[it.key()] = unpackedAll(it.value());
    if (v.is_array())
        for (std::size_t i = 0; i < v.size(); ++i) out[i] = unpackedAll(v[i]);
    return out;
}

TEST(WorldReader, PacksEveryUnitAndGivesItBackWhole) {
    const sim::WorldReadResult r = sim::readWorld(kWorld);
    ASSERT_TRUE(r.world) << r.error;
    const json& adapters = (*r.world)["hba"]["adapters"];
    for (const json* units : {&adapters[0]["port"]["target"]["units"], &adapters[0]["discoveredPorts"][0]["target"]["units"],
                              &adapters[1]["discoveredPorts"][0]["target"]["units"]})
        for (const json& u : *units) EXPECT_TRUE(u.is_binary()) << u.dump();
    EXPECT_TRUE(adapters[1]["discoveredPorts"][0]["target"]["anyUnit"].is_object());
    EXPECT_EQ(unpackedAll(*r.world), json::parse(kWorld));
}

// What a check of the whole document, read in one piece, reports.
std::string wholeCheck(const std::string& text) {
    sim::SchemaSet set;
    for (const auto& [name, schema] : sim::embeddedWorldSchemas()) set.add(std::string(name), json::parse(schema));
    const auto v = set.check("world.schema.json", json::parse(text));
    return v ? (v->place.empty() ? "/" : v->place) + ": " + v->reason : "";
}

TEST(WorldReader, ReportsWhatAWholeCheckReportsFirst) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> edits;  // the first `from` in kWorld becomes `to`
        std::string error;  // pinned; "" where only the agreement with a whole check matters
    };
    const Case cases[] = {
        {"unknown member of a unit", {{R"({"lun": 7,)", R"({"lun": 7, "colour": 1,)"}},
         R"(/hba/adapters/0/port/target/units/1/colour: unknown member "colour")"},
        {"unit of the wrong type", {{R"([{"lun": 0}, )", R"([{"lun": 0}, 5, )"}},
         "/hba/adapters/0/port/target/units/1: expected object, found integer"},
        {"bad unit behind a discovered port", {{R"("inquiry": {"vendor": "V"})", R"("inquiry": 3)"}}, ""},
        // Members are checked in name order, not in the order they are read.
        {"bad unit and a bad host read before it",
         {{R"("hostName": "H1")", R"("hostName": 1)"}, {R"({"lun": 0}, {)", R"({"lun": -1}, {)"}},
         "/hba/adapters/0/port/target/units/0/lun: -1 is below the minimum 0"},
        {"bad unit and a bad fabric", {{R"("ports": [])", R"("ports": 1)"}, {R"({"lun": 0}, {)", R"({"lun": -1}, {)"}},
         "/fabric/nameServer/ports: expected array, found integer"},
        {"bad units behind port 0 and behind a discovered port read after it",
         {{R"({"lun": 0}, {)", R"({"lun": true}, {)"}, {R"({"lun": 3})", R"({"lun": 3, "q": 0})"}},
         R"(/hba/adapters/0/discoveredPorts/0/target/units/0/q: unknown member "q")"},
        {"units given as an object", {{R"("units": [{"lun": 3}])", R"("units": {"0": {"lun": 3}})"}},
         "/hba/adapters/0/discoveredPorts/0/target/units: expected array, found object"},
        {"two bad units in one list", {{R"({"lun": 0}, {)", R"({"lun": -1}, {"y": 2, )"}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = kWorld;
        for (const auto& [from, to] : c.edits) {
            const auto at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, from.size(), to);
        }
        const std::string expected = wholeCheck(text);
        ASSERT_NE(expected, "");
        if (!c.error.empty()) {
            EXPECT_EQ(expected, c.error);
        }
        const sim::WorldReadResult r = sim::readWorld(text);
        EXPECT_FALSE(r.world);
        EXPECT_EQ(r.error, expected);
    }
}

// A syntax error after a bad unit: the text is not JSON, whatever the schema says.
TEST(WorldReader, ASyntaxErrorOutranksTheSchema) {
    std::string text = kWorld;
    text.replace(text.find(R"({"lun": 0})"), 10, R"({"lun": 0, "z": 1})");
    text.back() = ',';
    const sim::WorldReadResult r = sim::readWorld(text);
    EXPECT_EQ(r.error.substr(0, r.error.find('(')),
              "byte " + std::to_string(text.size() + 1) + ": not valid JSON ");
}

TEST(SchemaResolve, FindsTheSchemaOnlyThroughPropertiesItemsAndPlainReferences) {
    sim::SchemaSet set;
    set.add("a.json", json::parse(R"({"properties": {
        "list": {"type": "array", "items": {"$ref": "#/$defs/entry"}},
        "other": {"description": "d", "$ref": "b.json#/$defs/thing"},
        "choice": {"anyOf": [{"properties": {"x": {}}}]},
        "mixed": {"$ref": "#/$defs/entry", "type": "object"}},
      "$defs": {"entry": {"properties": {"leaf": {"type": "string"}}}}})"));
    set.add("b.json", json::parse(R"({"$defs": {"thing": {"properties": {"in": {"items": {"type": "integer"}}}}}})"));
    struct Case {
        std::vector<std::string> path;
        std::string found;  // the schema found, dumped; "" for none
    };
    const Case cases[] = {
        {{"list", "*"}, R"({"$ref":"#/$defs/entry"})"},
        {{"list", "*", "leaf"}, R"({"type":"string"})"},
        {{"other", "in", "*"}, R"({"type":"integer"})"},
        {{"choice", "x"}, ""},
        {{"mixed", "leaf"}, ""},
        {{"list", "leaf"}, ""},
        {{"missing"}, ""},
    };
    for (const Case& c : cases) {
        const auto found = set.resolve("a.json", c.path);
        EXPECT_EQ(found ? found->schema->dump() : "", c.found) << c.path.back();
    }
    const auto inB = set.resolve("a.json", {"other", "in"});
    ASSERT_TRUE(inB);
    EXPECT_EQ(inB->file, "b.json");
}

}  // namespace
