// Reading a world's text into a checked document. The logical units, nearly all of a large
// world, are each checked and packed as soon as they are read, so the document of a whole
// world never exists at once: a quarter of a million units would take ten times the file's
// size as a document, and about its size packed.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace sim {

struct WorldReadResult {
    std::optional<nlohmann::json> world;  // set when the text is JSON and matches the schema
    std::string error;                    // "<place>: <reason>" otherwise
};

// Reads and checks a world's text against the world schema. The elements of a target's
// "units" are held packed (binary values): unpacked() gives each back as a document.
// The first problem reported is the one a check of the whole document would report first.
WorldReadResult readWorld(const std::string& text);

// A value packed while reading, as a document again; any other value as it is.
nlohmann::json unpacked(const nlohmann::json& value);

}  // namespace sim
