// The difference between two scan documents of one kind. Entities are matched by element
// and UniqueId, parameters by name (the n-th parameter of a name with the n-th of that
// name), references by their target. Sizes and free space that moved by no more than the
// threshold are not differences; the changes an administrator acts on are named apart.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/attrdiff/scan_document.h"

namespace scandoc {

struct ParameterChange {
    std::string name;
    std::optional<std::string> before, after;  // absent on the side that lacks it
};

struct EntityChange {
    const Entity* before = nullptr;
    const Entity* after = nullptr;
    std::vector<ParameterChange> parameters;
    std::vector<Reference> referencesAdded, referencesRemoved;
};

struct ElementDiff {
    std::string element;
    std::vector<const Entity*> added, removed;  // new and old document order
    std::vector<EntityChange> changed;          // new document order
};

// A change an administrator acts on.
enum class FindingKind {
    UnitPaths,      // a logical unit reached through another number of adapter ports
    AdapterGone,
    TargetPortGone,
    StorageGone,
    Version,        // an adapter's driver or firmware version, a storage system's revision
    Space,          // a capacity or free space moved by more than the threshold
};

struct Finding {
    FindingKind kind;
    std::string element, id;  // the entity concerned (for UnitPaths, id is the unit's label)
    std::string subject;      // for people: "adapter QLogic-QLA2342-0", "logical unit naa.6..."
    std::string parameter;    // Version and Space
    std::string before, after;
    int portsBefore = 0, portsAfter = 0;  // UnitPaths: distinct adapter ports (0: not seen)
    double percent = 0;                   // Space: signed change relative to the old value
};

struct DocumentDiff {
    DocumentKind kind = DocumentKind::Attribute;
    std::vector<ElementDiff> elements;  // only elements with a difference
    std::vector<Finding> findings;
    bool empty() const { return elements.empty(); }
};

struct DiffOptions {
    double spaceThreshold = 0.10;  // a fraction of the old value
};

// Both documents must be of the same kind (the caller checks).
DocumentDiff diffDocuments(const Document& before, const Document& after, const DiffOptions& options);

}  // namespace scandoc

namespace scandoc {

// What an element describes, for people: "adapter", "logical unit", "FC port", ...
std::string elementNoun(const std::string& element);

}  // namespace scandoc
