// A checker for the subset of JSON Schema that the world files' schemas use:
// type, properties, required, additionalProperties (boolean or schema), items, enum,
// const, minimum, maximum, minLength, maxLength, minItems, maxItems, pattern, oneOf,
// anyOf, and $ref to "#/..." within a schema or "<file>#/..." to a sibling schema.
// Keywords it does not know (title, description, $schema, $id, $comment) are ignored.
#pragma once

#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/pattern.h"

namespace sim {

struct SchemaViolation {
    std::string place;   // JSON pointer of the offending value ("" for the document itself)
    std::string reason;  // what is wrong with it
};

class SchemaSet {
public:
    // Adds a schema under its file name, so that "$ref": "<name>#/..." finds it.
    void add(const std::string& name, nlohmann::json schema);
    // Checks value against the schema of that name; the first violation found, if any.
    std::optional<SchemaViolation> check(const std::string& name, const nlohmann::json& value) const;

private:
    std::optional<SchemaViolation> checkAt(const std::string& file, const nlohmann::json& schema,
                                           const nlohmann::json& value, const std::string& place,
                                           int depth) const;
    const Pattern& compiled(const std::string& pattern) const;

    std::map<std::string, nlohmann::json> schemas_;
    // Patterns compiled once: large worlds check the same pattern thousands of times.
    mutable std::map<std::string, Pattern, std::less<>> patterns_;
};

}  // namespace sim
