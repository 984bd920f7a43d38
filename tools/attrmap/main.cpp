// attrmap: a picture of the SAN a scan saw.
//
//   attrmap DOCUMENT [-o san.html]
//   attrmap OLD NEW [-o san.html]
//
// Writes one self-contained HTML page (standard output without -o) showing the host, its
// adapters, the target ports they reach, the storage systems behind them and their logical
// units, with multipath marks. Given two documents it draws the newer one and colours what
// was added, removed or changed since the older. Exit status 0, or 2 on trouble.
#include <cstdio>
#include <cstring>
#include <string>

#include <libxml/parser.h>

#include "tools/attrdiff/document_diff.h"
#include "tools/attrdiff/san_view.h"
#include "tools/attrdiff/scan_document.h"
#include "tools/attrmap/graph_layout.h"
#include "tools/attrmap/html_page.h"
#include "tools/attrmap/san_map.h"

namespace {

const char kUsage[] = "usage: attrmap DOCUMENT [NEW] [-o FILE.html]\n";

bool read(const std::string& path, scandoc::ReadResult& out)
{
    out = scandoc::readDocument(path);
    if (!out.ok) {
        std::fprintf(stderr, "attrmap: %s\n", out.error.c_str());
        return false;
    }
    if (out.document.kind == scandoc::DocumentKind::FileSystemSummary) {
        std::fprintf(stderr, "attrmap: %s:%ld: a file-system summary document describes no SAN\n", path.c_str(),
                     out.document.kindLine);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string paths[2], output = "-";
    int nPaths = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if ((argv[i][0] == '-' && argv[i][1] != '\0') || nPaths == 2) {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            paths[nPaths++] = argv[i];
        }
    }
    if (nPaths == 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    scandoc::ReadResult first, second;
    if (!read(paths[0], first) || (nPaths == 2 && !read(paths[1], second))) return 2;
    xmlCleanupParser();

    attrmap::SanMap map;
    if (nPaths == 1) {
        map = attrmap::buildMap(scandoc::buildSanView(first.document));
    } else {
        if (first.document.kind != second.document.kind) {
            std::fprintf(stderr, "attrmap: %s:%ld: %s document, but %s is %s document\n", paths[1].c_str(),
                         second.document.kindLine, scandoc::kindWithArticle(second.document.kind).c_str(),
                         paths[0].c_str(), scandoc::kindWithArticle(first.document.kind).c_str());
            return 2;
        }
        const scandoc::DocumentDiff diff = scandoc::diffDocuments(first.document, second.document, {});
        map = attrmap::buildMap(scandoc::buildSanView(first.document), scandoc::buildSanView(second.document), diff);
    }
    std::string error;
    if (!attrmap::layOut(map, error)) {
        std::fprintf(stderr, "attrmap: %s\n", error.c_str());
        return 2;
    }
    const std::string page = attrmap::htmlPage(map);

    FILE* out = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "attrmap: %s: cannot be written: %s\n", output.c_str(), std::strerror(errno));
        return 2;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
    const bool closed = out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "attrmap: %s: cannot be written\n", output.c_str());
        return 2;
    }
    return 0;
}
