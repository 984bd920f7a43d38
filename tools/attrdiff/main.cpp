// attrdiff: what changed between two scans.
//
//   attrdiff [--json] [--space-threshold PERCENT] OLD NEW
//
// Compares two documents of one kind (attribute, PE mode or file-system summary) and
// prints what was added, removed or changed, the changes an administrator acts on first.
// Exit status as diff's: 0 no difference, 1 differences, 2 trouble (bad arguments, a
// document that cannot be read, is not well-formed or is of the other's kind).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <libxml/parser.h>

#include "tools/attrdiff/diff_report.h"
#include "tools/attrdiff/document_diff.h"
#include "tools/attrdiff/scan_document.h"

namespace {

const char kUsage[] =
    "usage: attrdiff [--json] [--space-threshold PERCENT] OLD NEW\n"
    "  --json                  print the difference as one JSON object\n"
    "  --space-threshold P     capacities and free space that moved by no more than P percent\n"
    "                          of the old value are no difference (default 10)\n";

bool parsePercent(const char* text, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || (*end != '\0' && std::strcmp(end, "%") != 0) || !(v >= 0) || v > 1e9) return false;
    out = v / 100;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    scandoc::DiffOptions options;
    std::string paths[2];
    int nPaths = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* threshold = nullptr;
        if (std::strcmp(a, "--json") == 0) {
            json = true;
        } else if (std::strcmp(a, "-h") == 0 || std::strcmp(a, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(a, "--space-threshold") == 0) {
            if (i + 1 >= argc) {
                std::fputs(kUsage, stderr);
                return 2;
            }
            threshold = argv[++i];
        } else if (std::strncmp(a, "--space-threshold=", 18) == 0) {
            threshold = a + 18;
        } else if (a[0] == '-' && a[1] != '\0') {
            std::fprintf(stderr, "attrdiff: unknown option %s\n%s", a, kUsage);
            return 2;
        } else if (nPaths < 2) {
            paths[nPaths++] = a;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
        if (threshold && !parsePercent(threshold, options.spaceThreshold)) {
            std::fprintf(stderr, "attrdiff: --space-threshold wants a percentage, not \"%s\"\n", threshold);
            return 2;
        }
    }
    if (nPaths != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // The documents live until the process ends: freeing a few million small blocks one
    // by one at exit would cost as much as a good part of the comparison. A static
    // pointer keeps them reachable, so leak checkers do not count them.
    static scandoc::ReadResult* documents = new scandoc::ReadResult[2];
    const scandoc::ReadResult& before = documents[0] = scandoc::readDocument(paths[0]);
    if (!before.ok) {
        std::fprintf(stderr, "attrdiff: %s\n", before.error.c_str());
        return 2;
    }
    const scandoc::ReadResult& after = documents[1] = scandoc::readDocument(paths[1]);
    if (!after.ok) {
        std::fprintf(stderr, "attrdiff: %s\n", after.error.c_str());
        return 2;
    }
    xmlCleanupParser();
    if (before.document.kind != after.document.kind) {
        std::fprintf(stderr, "attrdiff: %s:%ld: %s document, but %s is %s document\n", paths[1].c_str(),
                     after.document.kindLine, scandoc::kindWithArticle(after.document.kind).c_str(), paths[0].c_str(),
                     scandoc::kindWithArticle(before.document.kind).c_str());
        return 2;
    }

    static const scandoc::DocumentDiff* diff = new scandoc::DocumentDiff(
        scandoc::diffDocuments(before.document, after.document, options));
    const std::string report = json ? scandoc::jsonReport(*diff) : scandoc::textReport(*diff);
    std::fwrite(report.data(), 1, report.size(), stdout);
    if (std::fflush(stdout) != 0) return 2;
    return diff->empty() ? 0 : 1;
}
