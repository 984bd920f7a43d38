#include "sim/world.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/json_schema.h"
#include "sim/world_schemas.h"

namespace sim {

namespace {

const SchemaSet& schemas() {
    static const SchemaSet set = [] {
        SchemaSet s;
        for (const auto& [name, text] : embeddedWorldSchemas())
            s.add(std::string(name), nlohmann::json::parse(text));
        return s;
    }();
    return set;
}

struct Cache {
    bool loaded = false;
    std::optional<nlohmann::json> world;
};

Cache& cache() {
    static Cache c;
    return c;
}

// Takes no values, only the first syntax error and its position.
struct ParseErrorFinder : nlohmann::json_sax<nlohmann::json> {
    std::size_t position = 0;
    std::string message = "unknown error";
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t pos, const std::string&, const nlohmann::detail::exception& e) override {
        position = pos;
        message = e.what();
        return false;
    }
};

}  // namespace

WorldLoadResult parseWorld(const std::string& path, const std::string& text) {
    nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        // A second, validating pass only to learn where and why the text broke.
        ParseErrorFinder finder;
        nlohmann::json::sax_parse(text, &finder);
        return {std::nullopt, path + ": byte " + std::to_string(finder.position) + ": not valid JSON (" +
                                  finder.message + ")"};
    }
    if (auto v = schemas().check("world.schema.json", doc))
        return {std::nullopt, path + ": " + (v->place.empty() ? "/" : v->place) + ": " + v->reason};
    return {std::move(doc), ""};
}

WorldLoadResult loadWorldFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, path + ": (file): cannot be opened for reading"};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return {std::nullopt, path + ": (file): read error"};
    return parseWorld(path, text.str());
}

const nlohmann::json* world() {
    Cache& c = cache();
    if (!c.loaded) {
        c.loaded = true;
        const char* path = std::getenv("SANSIM_WORLD");
        if (path && *path) {
            WorldLoadResult r = loadWorldFile(path);
            if (r.world) c.world = std::move(r.world);
            else std::fprintf(stderr, "world file %s\n", r.error.c_str());
        }
    }
    return c.world ? &*c.world : nullptr;
}

void resetWorld() { cache() = Cache{}; }

}  // namespace sim
