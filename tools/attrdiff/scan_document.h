// A scan document read into memory: the entities of an attribute, PE-mode or file-system
// summary document with their parameters and references, in document order. Read with
// libxml2's streaming (SAX) interface, so a document of a few hundred megabytes costs its
// entities' texts and no parse tree.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scandoc {

enum class DocumentKind { Attribute, PeMode, FileSystemSummary };

// "attribute", "PE-mode", "file-system summary".
const char* kindName(DocumentKind kind);
// "an attribute", "a PE-mode", "a file-system summary".
std::string kindWithArticle(DocumentKind kind);

struct Parameter {
    std::string name;
    std::string value;
};

// A reference element and the UniqueId text it carries ("FcNodeIdXml", "FcNodeXml:2000...").
// The members of a port's connectivity group are references named "ConnectivityGroupXml".
struct Reference {
    std::string element;
    std::string target;
    bool operator==(const Reference&) const = default;
};

struct Entity {
    std::string element;  // "ControllerXml", "LogicalUnitXml", ..., "FileSystem"
    std::string id;       // the UniqueIdXml text, prefix included; unique within the element
    std::vector<Parameter> parameters;
    std::vector<Reference> references;
    long line = 0;        // where the entity's element starts

    // The first parameter of that name, or null.
    const std::string* parameter(const std::string& name) const;
};

// An entity's element and id as a hash key that copies neither (the entity must outlive it).
struct EntityKey {
    std::string_view element, id;
    bool operator==(const EntityKey&) const = default;
};
struct EntityKeyHash {
    std::size_t operator()(const EntityKey& k) const noexcept
    {
        return std::hash<std::string_view>{}(k.id);  // ids rarely repeat across elements
    }
};
inline EntityKey keyOf(const Entity& e) { return {e.element, e.id}; }

struct Document {
    std::string path;
    DocumentKind kind = DocumentKind::Attribute;
    long kindLine = 0;  // the line that decides the kind: the header's "Option" value or the host element
    std::vector<Entity> entities;
};

struct ReadResult {
    bool ok = false;
    Document document;
    std::string error;  // "PATH:LINE: reason" when not ok
};

// Reads the document at path ("-" is standard input). Not well-formed XML, a root other
// than AttributeXml, or an entity without its UniqueIdXml is an error naming the line.
// File-system summary documents have no ids: SystemResources and OperatingSystem are
// single entities named by their element, each FileSystem is named by its name attribute;
// their XML attributes are the parameters.
ReadResult readDocument(const std::string& path);

}  // namespace scandoc
