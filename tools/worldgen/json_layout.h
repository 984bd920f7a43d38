// Writes JSON laid out for people and for size at once: the levels near the top are
// indented one member per line, everything from a given depth down sits on one line, so
// that a world of a quarter-million logical units has one line per unit.
#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace worldgen {

// Writes value at the given depth (indented by two blanks per level); containers at or
// below compactDepth are written on one line.
void writeJson(std::string& out, const nlohmann::ordered_json& value, int depth, int compactDepth);

}  // namespace worldgen
