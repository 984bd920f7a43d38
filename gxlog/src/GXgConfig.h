// The configuration registry: one node per object name read from the properties file,
// arranged by dotted names so that an object inherits its ancestors' properties
// ("native.trace.attributeScanner" inherits from "native.trace" and "native").
//
// A node's parent is the nearest dotted prefix that has a node when the parent is
// looked for. A node created before its ancestors sits under the root (null parent
// name) until an ancestor appears: creating a node moves the nodes below it, that were
// placed under its own parent (or the root), to it. Applying a node to an object
// searches again while the node still sits under the root.
//
// Nodes are linked upwards only (by parent name): nothing needs to walk down the tree,
// and the registry keeps, per dotted prefix that had no node yet, the nodes that would
// move to it, so that creating a node touches only its own descendants. Reading a file
// of n objects costs about n hash lookups per name level, not n squared.
#pragma once

#include <functional>
#include <unordered_map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gxlog/src/util/CxOrderedMap.h"

namespace gxlog {

// One object name's configuration. Shared between the registry and its users.
struct GXgObjConfig {
    std::string name;
    std::optional<std::string> parentName;  // none: the parent is the root "/"
    CxOrderedMap properties;                // property name -> value, in first-set order
};

class GXgConfigRegistry {
public:
    static constexpr std::string_view kRootName = "/";

    // The node of that name, created and placed in the hierarchy when missing. None for
    // a null name or the root.
    std::shared_ptr<GXgObjConfig> getNode(const char* name);
    std::shared_ptr<GXgObjConfig> getNode(std::string_view name);
    // The node when it exists (nothing is created).
    std::shared_ptr<GXgObjConfig> findNode(std::string_view name) const;

    // Stores property = value on the object's node. False when any text is null or the
    // object or property name is empty.
    bool setProperty(const char* object, const char* property, const char* value);
    bool setProperty(std::string_view object, std::string_view property, std::string_view value);

    // The node's own value, else the nearest recorded ancestor's (no new parent search).
    std::optional<std::string> getProperty(const GXgObjConfig& node, std::string_view property) const;

    // Applies the configuration of `objectName` to an object: the ancestors' properties
    // first (root-most first), then the node's own, each in stored order, one call of
    // `configure` per property. A property set on several levels is applied once per
    // level, the nearest last.
    using Configure = std::function<void(const std::string& property, const std::string& value)>;
    void apply(const std::string& objectName, const Configure& configure);

    std::size_t size() const { return nodes_.size(); }
    // Room for about this many nodes, so that a large file is not rehashed as it grows.
    void reserve(std::size_t nodes) { nodes_.reserve(nodes); }

private:
    // The parent of a node whose parent name is still null: the nearest dotted prefix
    // with a node, recorded as the parent name. Null when the parent is the root.
    std::shared_ptr<GXgObjConfig> findParent(GXgObjConfig& node);
    // Moves to a new node the waiting nodes below it that still hang from its parent,
    // then records the new node as waiting for each prefix between it and its parent.
    void adoptDescendants(GXgObjConfig& node, const GXgObjConfig* parent);
    void applyNode(GXgObjConfig& node, const Configure& configure, int depth);

    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    // Keyed by a view of the node's own name, which never changes.
    std::unordered_map<std::string_view, std::shared_ptr<GXgObjConfig>, NameHash> nodes_;
    // Dotted prefix without a node -> the nodes below it placed while it had none. The
    // keys view the waiting nodes' own names, which live as long as the registry.
    std::unordered_map<std::string_view, std::vector<GXgObjConfig*>, NameHash> waiting_;
    // The node the last property went to: a file names one object on consecutive lines.
    GXgObjConfig* lastSet_ = nullptr;
};

// The toolkit's registry: made by the toolkit start-up, destroyed at shut-down. Null
// while the toolkit is not started.
GXgConfigRegistry* configRegistry();
void createConfigRegistry();
void destroyConfigRegistry();

}  // namespace gxlog
