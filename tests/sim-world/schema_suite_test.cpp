// The world checker against the official JSON Schema test suite (draft 7 files), for the
// keywords it supports. A group whose schema uses any other keyword is left out; every
// other case must give the suite's verdict.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "sim/json_schema.h"

namespace {

using nlohmann::json;

const std::string kSuite = "/usr/share/json-schema-test-suite/tests/draft7/";

// The keywords the checker knows, and those it ignores by design.
const std::set<std::string> kKnown = {"type",      "properties", "required",  "additionalProperties", "items",
                                      "enum",      "const",      "minimum",   "maximum",              "minLength",
                                      "maxLength", "minItems",   "maxItems",  "pattern",              "oneOf",
                                      "anyOf",     "$ref",       "definitions"};
const std::set<std::string> kIgnored = {"title", "description", "$schema", "$id", "$comment", "default"};

bool supported(const json& schema) {
    if (schema.is_boolean()) return true;
    if (!schema.is_object()) return false;
    // Draft 7 ignores the siblings of $ref; the world schemas (2020-12) apply them.
    if (schema.contains("$ref") && schema.size() > 1) return false;
    for (auto it = schema.begin(); it != schema.end(); ++it) {
        const std::string& k = it.key();
        if (kIgnored.count(k)) continue;
        if (!kKnown.count(k)) return false;
        const json& v = it.value();
        if (k == "$ref" && (!v.is_string() || v.get<std::string>().rfind("#", 0) != 0)) return false;
        if ((k == "properties" || k == "definitions") && v.is_object()) {
            for (const auto& sub : v)
                if (!supported(sub)) return false;
        } else if (k == "items" || k == "additionalProperties") {
            if (!supported(v)) return false;  // the array form of items is not known
        } else if (k == "oneOf" || k == "anyOf") {
            for (const auto& sub : v)
                if (!supported(sub)) return false;
        }
    }
    return true;
}

TEST(SchemaSuite, SupportedKeywordsGiveTheSuitesVerdicts) {
    if (!std::filesystem::exists(kSuite)) {
        if (std::getenv("CI")) FAIL() << kSuite << " is missing: scripts/setup.sh installs json-schema-test-suite";
        GTEST_SKIP() << "json-schema-test-suite is not installed";
    }
    int checked = 0;
    for (const char* file : {"additionalProperties", "anyOf", "boolean_schema", "const", "definitions", "enum",
                             "items", "maxItems", "maxLength", "maximum", "minItems", "minLength", "minimum",
                             "oneOf", "pattern", "properties", "ref", "required", "type"}) {
        std::ifstream in(kSuite + file + ".json");
        ASSERT_TRUE(in) << file;
        for (const json& group : json::parse(in)) {
            if (!supported(group["schema"])) continue;
            sim::SchemaSet set;
            set.add("suite", group["schema"]);
            for (const json& c : group["tests"]) {
                SCOPED_TRACE(std::string(file) + ": " + group["description"].get<std::string>() + ": " +
                             c["description"].get<std::string>());
                EXPECT_EQ(!set.check("suite", c["data"]).has_value(), c["valid"].get<bool>());
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 180);
}

}  // namespace
