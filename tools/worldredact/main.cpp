// worldredact: rewrites a world file with keyed pseudonyms for every WWN, serial number,
// host name, IP address, volume label and serial-bearing registry text, so that a
// recording can leave the customer's site.
//
//   worldredact --key KEY [--map FILE] IN -o OUT
//
// --map writes the mapping (kind, original, pseudonym; one per line, tab-separated) for
// the customer's own records. The key is written nowhere.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/worldredact/redactor.h"

namespace {

const char kUsage[] = "usage: worldredact --key KEY [--map FILE] IN -o OUT\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
    std::string key, mapPath, in, out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--key" && i + 1 < argc) key = argv[++i];
        else if (a == "--map" && i + 1 < argc) mapPath = argv[++i];
        else if (a == "-o" && i + 1 < argc) out = argv[++i];
        else if (in.empty() && !a.starts_with("-")) in = a;
        else return usage();
    }
    if (key.empty() || in.empty() || out.empty()) return usage();

    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "worldredact: cannot read %s\n", in.c_str());
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const nlohmann::ordered_json world = nlohmann::ordered_json::parse(text.str(), nullptr, false);
    if (world.is_discarded()) {
        std::fprintf(stderr, "worldredact: %s is not JSON\n", in.c_str());
        return 1;
    }
    const redact::Result r = redact::redactWorld(world, key);
    if (!writeFile(out, r.world.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n")) {
        std::fprintf(stderr, "worldredact: cannot write %s\n", out.c_str());
        return 1;
    }
    if (!mapPath.empty()) {
        std::string lines;
        for (const redact::Mapping& m : r.mapping) lines += m.kind + "\t" + m.original + "\t" + m.pseudonym + "\n";
        if (!writeFile(mapPath, lines)) {
            std::fprintf(stderr, "worldredact: cannot write %s\n", mapPath.c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "worldredact: %zu values replaced\n", r.mapping.size());
    return 0;
}
