// worldgen: writes a simulated world on standard output (or into a file), reproducibly
// from a seed.
//
//   worldgen --luns N [--adapters A] [--luns-per-target L] [--disks D] [OPTIONS]
//   worldgen --varied [--twist NAME]... [OPTIONS]
// OPTIONS: --seed S, -o FILE, --latency KIND=US or KIND=MIN-MAX (microseconds per call of
// that kind: scsi, ct, rnid, attributes; repeatable)
//   worldgen --twists            lists the twist names
//   worldgen --help
//
// A summary line goes to standard error.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/worldgen/world_emit.h"

namespace {

constexpr const char* kUsage =
    "usage: worldgen --luns N [--adapters A] [--luns-per-target L] [--disks D] [OPTIONS]\n"
    "       worldgen --varied [--twist NAME]... [OPTIONS]\n"
    "       worldgen --twists\n"
    "OPTIONS: --seed S, -o FILE, --latency KIND=US or KIND=MIN-MAX (KIND: scsi, ct, rnid, attributes)\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool number(const char* text, uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && end && *end == '\0' && errno == 0;
}

}  // namespace

int main(int argc, char** argv) {
    worldgen::Options options;
    const char* outPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        uint64_t value = 0;
        if (arg == "--help") {
            std::printf("%s\nWrites a simulated world (JSON) on standard output or into FILE, the same for\n"
                        "the same options and seed: a sized SAN of N logical units, or a small varied one\n"
                        "with the named twists. A summary line goes to standard error.\n", kUsage);
            return 0;
        } else if (arg == "--twists") {
            for (std::size_t t = 0; t < worldgen::kTwistCount; ++t)
                std::printf("%.*s\n", static_cast<int>(worldgen::twistName(static_cast<worldgen::Twist>(t)).size()),
                            worldgen::twistName(static_cast<worldgen::Twist>(t)).data());
            return 0;
        } else if (arg == "--varied") {
            options.varied = true;
        } else if (arg == "--twist" && hasValue) {
            const auto t = worldgen::twistByName(argv[++i]);
            if (!t) {
                std::fprintf(stderr, "worldgen: unknown twist %s (see --twists)\n", argv[i]);
                return 2;
            }
            options.forced.set(static_cast<std::size_t>(*t));
        } else if (arg == "--latency" && hasValue) {
            // KIND=MICROSECONDS or KIND=MIN-MAX, KIND one of scsi, ct, rnid, attributes.
            const std::string spec = argv[++i];
            const auto eq = spec.find('=');
            const std::string kind = spec.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : spec.substr(eq + 1);
            const auto dash = value.find('-');
            uint64_t a = 0, b = 0;
            const bool ok = (kind == "scsi" || kind == "ct" || kind == "rnid" || kind == "attributes") &&
                            (dash == std::string::npos
                                 ? number(value.c_str(), a)
                                 : number(value.substr(0, dash).c_str(), a) &&
                                       number(value.substr(dash + 1).c_str(), b) && a <= b) &&
                            a <= 10000000 && b <= 10000000;
            if (!ok) return usage();
            options.latency.emplace_back(kind, value);
        } else if (arg == "-o" && hasValue) {
            outPath = argv[++i];
        } else if (hasValue && number(argv[i + 1], value) && value <= UINT32_MAX) {
            ++i;
            if (arg == "--luns" && value > 0) options.luns = static_cast<uint32_t>(value);
            else if (arg == "--adapters" && value > 0) options.adapters = static_cast<uint32_t>(value);
            else if (arg == "--luns-per-target" && value > 0) options.lunsPerTarget = static_cast<uint32_t>(value);
            else if (arg == "--disks") options.disks = static_cast<uint32_t>(value);
            else if (arg == "--seed") options.seed = value;
            else return usage();
        } else {
            return usage();
        }
    }

    std::FILE* out = outPath ? std::fopen(outPath, "wb") : stdout;
    if (!out) {
        std::fprintf(stderr, "worldgen: cannot write %s: %s\n", outPath, std::strerror(errno));
        return 1;
    }
    worldgen::WorldSummary summary;
    std::string error;
    bool ok = worldgen::writeWorld(options, out, summary, error);
    if (std::fflush(out) != 0 || (outPath && std::fclose(out) != 0)) {
        ok = false;
        if (error.empty()) error = "cannot write the world";
    }
    if (!ok) {
        std::fprintf(stderr, "worldgen: %s\n", error.c_str());
        return 1;
    }
    std::string twists;
    for (std::size_t t = 0; t < worldgen::kTwistCount; ++t)
        if (summary.applied[t]) twists += " " + std::string(worldgen::twistName(static_cast<worldgen::Twist>(t)));
    std::fprintf(stderr, "worldgen: %u logical units, %u targets, %u adapters, %u SAN disks; twists:%s\n", summary.luns,
                 summary.targets, summary.adapters, summary.disks, twists.empty() ? " none" : twists.c_str());
    for (std::size_t t = 0; t < worldgen::kTwistCount; ++t)
        if (summary.unplaced[t])
            std::fprintf(stderr, "worldgen: twist %.*s found no place in this world\n",
                         static_cast<int>(worldgen::twistName(static_cast<worldgen::Twist>(t)).size()),
                         worldgen::twistName(static_cast<worldgen::Twist>(t)).data());
    return 0;
}
