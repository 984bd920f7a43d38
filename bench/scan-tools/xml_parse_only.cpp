// xml_parse_only: libxml2 parsing documents and nothing else, the floor that attrdiff and
// attrmap are measured against.
//
//   xml_parse_only [--sax] FILE...
//
// Without --sax each file is read into a tree and freed, as xmllint --noout does; with
// --sax it is streamed through SAX2 callbacks that do nothing, as the tools read documents.
#include <cstdio>
#include <cstring>

#include <libxml/parser.h>

namespace {

void onStart(void*, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int, const xmlChar**) {}
void onEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void onCharacters(void*, const xmlChar*, int) {}

}  // namespace

int main(int argc, char** argv)
{
    bool sax = false;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sax") == 0) {
            sax = true;
            continue;
        }
        if (sax) {
            xmlSAXHandler handler;
            std::memset(&handler, 0, sizeof handler);
            handler.initialized = XML_SAX2_MAGIC;
            handler.startElementNs = onStart;
            handler.endElementNs = onEnd;
            handler.characters = onCharacters;
            if (xmlSAXUserParseFile(&handler, nullptr, argv[i]) != 0) status = 1;
        } else {
            xmlDocPtr doc = xmlReadFile(argv[i], nullptr, XML_PARSE_NONET);
            if (!doc) status = 1;
            xmlFreeDoc(doc);
        }
    }
    xmlCleanupParser();
    if (status) std::fprintf(stderr, "xml_parse_only: a document is not well-formed\n");
    return status;
}
