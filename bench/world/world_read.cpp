// Reads one world file in one of three ways and says whether it could be used:
//   world_read read FILE    the world reader: parse, check against the schema, pack the units
//   world_read parse FILE   parsing alone into a document, as reading cost before any check
//   world_read scan FILE    parsing alone, keeping nothing: the lexer's own cost
// Exit status 0 when the file was read (and, for "read", matches the schema), 1 otherwise.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "sim/world.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: world_read read|parse|scan FILE\n", stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    if (mode == "read") {
        const sim::WorldLoadResult r = sim::loadWorldFile(argv[2]);
        if (!r.world) std::fprintf(stderr, "%s\n", r.error.c_str());
        return r.world ? 0 : 1;
    }
    std::ifstream in(argv[2], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (mode == "parse") return nlohmann::json::parse(text, nullptr, false).is_discarded() ? 1 : 0;
    if (mode == "scan") return nlohmann::json::accept(text) ? 0 : 1;
    std::fputs("usage: world_read read|parse|scan FILE\n", stderr);
    return 2;
}
