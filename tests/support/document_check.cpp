#include "tests/support/document_check.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace testsupport {

namespace {

// libxml2 reports through a callback; the first message is kept and nothing is printed.
void keepFirstError(void* context, xmlErrorPtr error) {
    auto* message = static_cast<std::string*>(context);
    if (message->empty() && error && error->message) message->assign(error->message);
}

std::string contentOf(xmlNode* node) {
    xmlChar* text = xmlNodeGetContent(node);
    std::string s = text ? reinterpret_cast<const char*>(text) : "";
    xmlFree(text);
    return s;
}

bool endsWith(const char* name, const char* tail) {
    const std::size_t n = std::strlen(name), t = std::strlen(tail);
    return n >= t && std::strcmp(name + n - t, tail) == 0;
}

void collect(xmlNode* node, std::unordered_set<std::string>& ids, std::vector<std::string>& refs) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        const char* name = reinterpret_cast<const char*>(node->name);
        if (std::strcmp(name, "UniqueIdXml") == 0) ids.insert(contentOf(node));
        else if (endsWith(name, "IdXml")) refs.push_back(std::string(name) + " " + contentOf(node));
        collect(node->children, ids, refs);
    }
}

}  // namespace

std::string documentProblem(const std::string& text) {
    std::string error;
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) return "libxml2 could not make a parser";
    xmlSetStructuredErrorFunc(&error, keepFirstError);
    // No network, no external entities: the document must stand on its own.
    xmlDocPtr doc = xmlCtxtReadMemory(context, text.data(), static_cast<int>(text.size()), "stdout", nullptr,
                                      XML_PARSE_NONET | XML_PARSE_NOWARNING);
    const bool wellFormed = doc && context->wellFormed;
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    std::string problem;
    if (!wellFormed) {
        problem = "not well-formed: " + (error.empty() ? std::string("no document") : error);
    } else {
        std::unordered_set<std::string> ids;
        std::vector<std::string> refs;
        collect(xmlDocGetRootElement(doc), ids, refs);
        for (const std::string& ref : refs) {
            const std::string id = ref.substr(ref.find(' ') + 1);
            if (!ids.count(id)) {
                problem = "reference names no UniqueIdXml: " + ref;
                break;
            }
        }
    }
    if (doc) xmlFreeDoc(doc);
    xmlFreeParserCtxt(context);
    return problem;
}

}  // namespace testsupport
