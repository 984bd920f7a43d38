#include "tools/attrdiff/scan_document.h"

#include <fcntl.h>
#include <unistd.h>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <string_view>
#include <unordered_map>

namespace scandoc {

const char* kindName(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Attribute: return "attribute";
    case DocumentKind::PeMode: return "PE-mode";
    case DocumentKind::FileSystemSummary: return "file-system summary";
    }
    return "?";
}

std::string kindWithArticle(DocumentKind kind)
{
    return std::string(kind == DocumentKind::Attribute ? "an " : "a ") + kindName(kind);
}

const std::string* Entity::parameter(const std::string& name) const
{
    for (const Parameter& p : parameters)
        if (p.name == name) return &p.value;
    return nullptr;
}

namespace {

std::string_view view(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

bool endsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// What the element being read at each depth is, as far as the reader cares.
enum class Role {
    Root, Header, HeaderParameter, Entity, UniqueId, Parameter, ParameterName, ParameterValue,
    Reference, Group, GroupMember, SummaryHost, SummaryGroup, SummaryEntity, Other,
};

struct Reader {
    xmlParserCtxtPtr ctxt = nullptr;
    Document doc;
    std::vector<Role> stack;
    std::string text;
    bool collecting = false;
    Parameter parameter;           // the ParameterXml being read
    std::string referenceElement;  // the reference element being read
    std::string headerName, option;
    bool sawSummaryHost = false;
    std::string error;  // first error, "LINE: reason"
    long errorLine = 0;

    long line() const { return xmlSAX2GetLineNumber(ctxt); }

    void fail(long at, std::string reason)
    {
        if (error.empty()) {
            errorLine = at;
            error = std::move(reason);
        }
        xmlStopParser(ctxt);
    }

    Entity& entity() { return doc.entities.back(); }

    void startText()
    {
        text.clear();
        collecting = true;
    }

    void startSummaryEntity(std::string_view name, int nAttributes, const xmlChar** attributes)
    {
        Entity e;
        e.element = std::string(name);
        e.line = line();
        for (int i = 0; i < nAttributes; ++i) {
            const xmlChar** a = attributes + 5 * i;
            e.parameters.push_back({std::string(view(a[0])),
                                    std::string(reinterpret_cast<const char*>(a[3]),
                                                static_cast<std::size_t>(a[4] - a[3]))});
        }
        if (name == "FileSystem") {
            const std::string* n = e.parameter("name");
            e.id = n ? *n : std::string();
        } else {
            e.id = e.element;
        }
        doc.entities.push_back(std::move(e));
    }

    void start(std::string_view name, int nAttributes, const xmlChar** attributes)
    {
        collecting = false;
        const Role parent = stack.empty() ? Role::Other : stack.back();
        Role role = Role::Other;
        if (stack.empty()) {
            if (name != "AttributeXml") {
                fail(line(), "the root element is " + std::string(name) + ", not AttributeXml");
                return;
            }
            role = Role::Root;
            doc.kindLine = line();
        } else if (parent == Role::Root) {
            if (name == "HeaderXml") {
                role = Role::Header;
            } else if (name == "NTStorageAutomationHost") {
                role = Role::SummaryHost;
                sawSummaryHost = true;
                doc.kindLine = line();
            } else {
                role = Role::Entity;
                Entity e;
                e.element = std::string(name);
                e.line = line();
                doc.entities.push_back(std::move(e));
            }
        } else if (parent == Role::Header) {
            if (name == "ParameterXml") role = Role::HeaderParameter;
        } else if (parent == Role::HeaderParameter) {
            role = name == "NameXml" ? Role::ParameterName : name == "ValueXml" ? Role::ParameterValue : Role::Other;
            startText();
        } else if (parent == Role::Entity) {
            if (name == "UniqueIdXml") {
                role = Role::UniqueId;
                startText();
            } else if (name == "ParameterXml") {
                role = Role::Parameter;
                parameter = {};
            } else if (name == "ConnectivityGroupXml") {
                role = Role::Group;
            } else if (endsWith(name, "IdXml")) {
                role = Role::Reference;
                referenceElement = std::string(name);
                startText();
            }
        } else if (parent == Role::Parameter) {
            role = name == "NameXml" ? Role::ParameterName : name == "ValueXml" ? Role::ParameterValue : Role::Other;
            startText();
        } else if (parent == Role::Group) {
            if (name == "FcPortIdXml") {
                role = Role::GroupMember;
                startText();
            }
        } else if (parent == Role::SummaryHost || parent == Role::SummaryGroup) {
            // SystemResources, OperatingSystem and each FileSystem carry their values as
            // attributes; the FileSystemSummary around a FileSystem carries nothing.
            if (nAttributes > 0) {
                role = Role::SummaryEntity;
                startSummaryEntity(name, nAttributes, attributes);
            } else if (parent == Role::SummaryHost) {
                role = Role::SummaryGroup;
            }
        }
        stack.push_back(role);
    }

    void end()
    {
        if (stack.empty()) return;
        const Role role = stack.back();
        stack.pop_back();
        const Role parent = stack.empty() ? Role::Other : stack.back();
        switch (role) {
        case Role::Entity:
            if (entity().id.empty()) {
                fail(entity().line, entity().element + " has no UniqueIdXml");
                return;
            }
            break;
        case Role::UniqueId: entity().id = text; break;
        case Role::ParameterName:
            if (parent == Role::HeaderParameter) headerName = text;
            else parameter.name = text;
            break;
        case Role::ParameterValue:
            if (parent == Role::HeaderParameter) {
                if (headerName == "Option" && !sawSummaryHost) {
                    option = text;
                    doc.kindLine = line();
                }
            } else {
                parameter.value = text;
            }
            break;
        case Role::Parameter: entity().parameters.push_back(std::move(parameter)); break;
        case Role::Reference: entity().references.push_back({referenceElement, text}); break;
        case Role::GroupMember: entity().references.push_back({"ConnectivityGroupXml", text}); break;
        default: break;
        }
        collecting = false;
    }
};

Reader* readerOf(void* ctx) { return static_cast<Reader*>(ctx); }

void onStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*, int, const xmlChar**,
             int nAttributes, int, const xmlChar** attributes)
{
    readerOf(ctx)->start(view(localname), nAttributes, attributes);
}

void onEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) { readerOf(ctx)->end(); }

void onCharacters(void* ctx, const xmlChar* ch, int len)
{
    Reader* r = readerOf(ctx);
    if (r->collecting) r->text.append(reinterpret_cast<const char*>(ch), static_cast<std::size_t>(len));
}

void onError(void* ctx, xmlErrorPtr e)
{
    Reader* r = readerOf(ctx);
    if (e->level < XML_ERR_ERROR || !r->error.empty()) return;
    std::string message = e->message ? e->message : "not well-formed";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    r->errorLine = e->line;
    r->error = message;
}

void ignoreMessage(void*, const char*, ...) {}

// Two entities of one element with the same id would make matching ambiguous; the writer
// removes such duplicates, so a later one only appears in damaged or edited documents.
// It keeps its place under the id with " #2", " #3" added.
void makeIdsUnique(std::vector<Entity>& entities)
{
    std::unordered_map<EntityKey, int, EntityKeyHash> seen;
    seen.reserve(entities.size());
    std::vector<std::pair<std::size_t, int>> renames;
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const int n = ++seen[keyOf(entities[i])];
        if (n > 1) renames.emplace_back(i, n);
    }
    seen.clear();  // its keys view ids about to change
    for (const auto& [i, n] : renames) entities[i].id += " #" + std::to_string(n);
}

}  // namespace

ReadResult readDocument(const std::string& path)
{
    ReadResult result;
    const bool stdinput = path == "-";
    const int fd = stdinput ? 0 : ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        result.error = path + ": cannot be opened: " + std::strerror(errno);
        return result;
    }

    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = onStart;
    sax.endElementNs = onEnd;
    sax.characters = onCharacters;
    sax.ignorableWhitespace = onCharacters;
    sax.serror = onError;
    sax.error = ignoreMessage;
    sax.warning = ignoreMessage;

    Reader reader;
    reader.doc.path = path;
    struct Input {
        int fd;
        bool failed = false;
        int error = 0;
    } input{fd};
    auto readInput = [](void* context, char* buffer, int len) -> int {
        Input* in = static_cast<Input*>(context);
        const ssize_t n = ::read(in->fd, buffer, static_cast<std::size_t>(len));
        if (n < 0) {
            in->failed = true;
            in->error = errno;
            return -1;
        }
        return static_cast<int>(n);
    };
    reader.ctxt = xmlCreateIOParserCtxt(&sax, &reader, readInput, nullptr, &input, XML_CHAR_ENCODING_NONE);
    if (!reader.ctxt) {
        if (!stdinput) ::close(fd);
        result.error = path + ": the XML parser could not be started";
        return result;
    }
    // No network, no validation against the inline DTD (the writer does not satisfy its own
    // DTD everywhere) and no entity substitution beyond the predefined ones.
    xmlCtxtUseOptions(reader.ctxt, XML_PARSE_NONET);
    xmlParseDocument(reader.ctxt);
    const bool readFailed = input.failed;
    errno = input.error;
    if (!stdinput) ::close(fd);
    const bool wellFormed = reader.ctxt->wellFormed != 0;
    xmlFreeParserCtxt(reader.ctxt);

    if (readFailed) {
        result.error = path + ": cannot be read: " + std::strerror(errno);
        return result;
    }
    if (!reader.error.empty() || !wellFormed) {
        result.error = path + ":" + std::to_string(reader.errorLine) + ": " +
                       (reader.error.empty() ? "not well-formed" : reader.error);
        return result;
    }
    reader.doc.kind = reader.sawSummaryHost ? DocumentKind::FileSystemSummary
                      : reader.option == "PE" ? DocumentKind::PeMode
                                              : DocumentKind::Attribute;
    makeIdsUnique(reader.doc.entities);
    result.ok = true;
    result.document = std::move(reader.doc);
    return result;
}

}  // namespace scandoc
