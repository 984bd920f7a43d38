// mkcatalog: compiles a message source into a binary message catalog.
//
//   mkcatalog OUTPUT.cat SOURCE.msg
//
// Errors are printed as "SOURCE:LINE: text" on standard error; the exit code is then 1 and
// no catalog is written. The source syntax is described in catalog_compiler.cpp.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/mkcatalog/catalog_compiler.h"

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("usage: mkcatalog OUTPUT.cat SOURCE.msg\n\n%s", mkcatalog::kSyntaxHelp);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkcatalog OUTPUT.cat SOURCE.msg\n");
        return 2;
    }
    const char* output = argv[1];
    const char* sourcePath = argv[2];

    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mkcatalog: cannot read %s\n", sourcePath);
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    const mkcatalog::Compiled compiled = mkcatalog::parseSource(source);
    for (const mkcatalog::Diagnostic& d : compiled.errors)
        std::fprintf(stderr, "%s:%d: %s\n", sourcePath, d.line, d.message.c_str());
    if (!compiled.ok())
        return 1;

    const std::vector<unsigned char> bytes = mkcatalog::writeCatalog(compiled.sets);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "mkcatalog: cannot write %s\n", output);
        std::remove(output);
        return 1;
    }
    return 0;
}
