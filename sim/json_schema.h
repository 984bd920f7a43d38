// A checker for the subset of JSON Schema that the world files' schemas use:
// type, properties, required, additionalProperties (boolean or schema), items, enum,
// const, minimum, maximum, minLength, maxLength, minItems, maxItems, pattern, oneOf,
// anyOf, and $ref to "#/..." within a schema or "<file>#/..." to a sibling schema.
// Keywords it does not know (title, description, $schema, $id, $comment) are ignored.
// A binary value, which JSON text never gives, is one the world reader checked before it
// packed it, and passes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/pattern.h"

namespace sim {

struct SchemaViolation {
    std::string place;   // JSON pointer of the offending value ("" for the document itself)
    std::string reason;  // what is wrong with it
};

// The schema that applies at a place of a document, found once and used for many values.
struct SchemaPlace {
    std::string file;                        // the schema file its "#/..." references are relative to
    const nlohmann::json* schema = nullptr;  // within the set
};

class SchemaSet {
public:
    // Adds a schema under its file name, so that "$ref": "<name>#/..." finds it.
    void add(const std::string& name, nlohmann::json schema);
    // Checks value against the schema of that name; the first violation found, if any.
    std::optional<SchemaViolation> check(const std::string& name, const nlohmann::json& value) const;

    // The schema every value at path must match, path being member names and "*" for any
    // element of an array, when properties, items and plain $refs alone decide it. None
    // when alternatives (anyOf, oneOf), a member not among the properties or a $ref beside
    // other keywords stand on the way: the value might then answer to more than one schema.
    // The place found is valid until the next add().
    std::optional<SchemaPlace> resolve(const std::string& name, const std::vector<std::string>& path) const;
    // Checks a value found at place (a JSON pointer) against a resolved schema, as check()
    // would when it reached that value.
    std::optional<SchemaViolation> checkAt(const SchemaPlace& schema, const nlohmann::json& value,
                                           const std::string& place) const;

private:
    std::optional<SchemaViolation> checkAt(const std::string& file, const nlohmann::json& schema,
                                           const nlohmann::json& value, const std::string& place,
                                           int depth) const;
    const Pattern& compiled(const std::string& pattern) const;

    // The keywords of one schema object, looked up once: a large world checks each schema
    // object thousands of times. Null where the schema has no such keyword.
    struct Keywords {
        bool ref = false;                  // "$ref" is there (a text)
        std::string refFile;               // the file it refers into
        const nlohmann::json* refTarget = nullptr;
        std::string refError;              // why it cannot be followed, if it cannot
        const nlohmann::json *type = nullptr, *enumeration = nullptr, *constant = nullptr;
        const nlohmann::json *minimum = nullptr, *maximum = nullptr, *minLength = nullptr, *maxLength = nullptr;
        const nlohmann::json* pattern = nullptr;
        const Pattern* compiledPattern = nullptr;  // set when pattern is a text
        const nlohmann::json *minItems = nullptr, *maxItems = nullptr, *items = nullptr;
        const nlohmann::json *required = nullptr, *properties = nullptr, *additionalProperties = nullptr;
        const nlohmann::json *anyOf = nullptr, *oneOf = nullptr;
    };
    const Keywords& keywordsOf(const std::string& file, const nlohmann::json& schema) const;

    std::map<std::string, nlohmann::json> schemas_;
    // Patterns compiled once: large worlds check the same pattern thousands of times.
    mutable std::map<std::string, Pattern, std::less<>> patterns_;
    mutable std::unordered_map<const nlohmann::json*, Keywords> keywords_;  // by schema object
};

}  // namespace sim
