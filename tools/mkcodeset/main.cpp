// mkcodeset: writes the codeset table file of one codeset, as the C library's iconv
// converts it.
//
//   mkcodeset [--kind N] ICONV-NAME CANONICAL-NAME OUTPUT
//
// The converter kind is chosen from the codeset's shape unless --kind names it. The
// canonical name is stored in the table (and is the file name the service looks for).
#include "tools/mkcodeset/codeset_builder.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr const char* kUsage = "usage: mkcodeset [--kind N] ICONV-NAME CANONICAL-NAME OUTPUT\n";
}

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::printf("%s\nWrites the codeset table of ICONV-NAME, as the C library's iconv converts it, to\n"
                    "OUTPUT. CANONICAL-NAME (upper case, letters and digits) is stored in the table and\n"
                    "is the file name the codeset services look for.\n", kUsage);
        return 0;
    }
    int arg = 1;
    int kind = 0;
    if (argc > 2 && std::string(argv[1]) == "--kind") {
        kind = std::atoi(argv[2]);
        arg = 3;
    }
    if (argc - arg != 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string iconvName = argv[arg], canonical = argv[arg + 1], output = argv[arg + 2];
    mkcodeset::IconvProbe probe(iconvName);
    if (!probe.ok()) {
        std::fprintf(stderr, "mkcodeset: iconv does not know %s\n", iconvName.c_str());
        return 1;
    }
    if (kind == 0) kind = mkcodeset::chooseKind(probe, iconvName);
    std::vector<uint8_t> image;
    std::string error;
    if (!mkcodeset::buildTable(probe, canonical, static_cast<uint16_t>(kind), &image, &error)) {
        std::fprintf(stderr, "mkcodeset: %s: %s\n", iconvName.c_str(), error.c_str());
        return 1;
    }
    std::FILE* f = std::fopen(output.c_str(), "wb");
    if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "mkcodeset: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
