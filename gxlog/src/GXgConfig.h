// The configuration registry: one node per object name read from the properties file,
// arranged by dotted names so that an object inherits its ancestors' properties
// ("native.trace.attributeScanner" inherits from "native.trace" and "native").
//
// A node's parent is the nearest dotted prefix that has a node when the parent is
// looked for. A node created before its ancestors sits under the root (no parent)
// until an ancestor appears: creating a node moves the nodes below it, that were
// placed under its own parent (or the root), to it. Applying a node to an object
// searches again while the node still sits under the root.
//
// Nodes are linked upwards only: nothing needs to walk down the tree, and the registry
// keeps, per dotted prefix that had no node yet, the nodes that would move to it, so
// that creating a node touches only its own descendants. Reading a file of n objects
// costs about n hash lookups per name level, not n squared. Nodes and their names are
// packed into chunks and found through a compact table, so that a large file costs few
// allocations and little memory per object and stays near-linear as it grows.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gxlog/src/util/CxNamedRecords.h"
#include "gxlog/src/util/CxTextStore.h"

namespace gxlog {

// One property of a node. Its texts are kept by the registry; setting the property
// again points it at the new value.
struct GXgProperty {
    std::string_view name;
    std::string_view value;
    GXgProperty* next = nullptr;
};

// A node's properties in first-set order: a list linked through the registry's store
// of properties, so that a node's first property costs no allocation of its own.
class GXgPropertyList {
public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = GXgProperty;
        using difference_type = std::ptrdiff_t;
        using pointer = const GXgProperty*;
        using reference = const GXgProperty&;

        explicit Iterator(const GXgProperty* at = nullptr) : at_(at) {}
        reference operator*() const { return *at_; }
        pointer operator->() const { return at_; }
        Iterator& operator++() {
            at_ = at_->next;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            at_ = at_->next;
            return before;
        }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }

    private:
        const GXgProperty* at_;
    };

    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(); }
    bool empty() const { return !first_; }

    GXgProperty* find(std::string_view name) const {
        for (GXgProperty* p = first_; p; p = p->next) {
            if (p->name == name) return p;
        }
        return nullptr;
    }

    void append(GXgProperty& property) {
        (last_ ? last_->next : first_) = &property;
        last_ = &property;
    }

private:
    GXgProperty* first_ = nullptr;
    GXgProperty* last_ = nullptr;
};

// One object name's configuration. Owned by the registry, which neither moves nor
// deletes a node while it lives.
struct GXgObjConfig {
    std::string_view name;           // kept by the registry
    GXgObjConfig* parent = nullptr;  // none: the parent is the root "/"
    GXgPropertyList properties;
};

class GXgConfigRegistry {
public:
    static constexpr std::string_view kRootName = "/";

    // The node of that name, created and placed in the hierarchy when missing. None for
    // a null name or the root.
    GXgObjConfig* getNode(const char* name);
    GXgObjConfig* getNode(std::string_view name);
    // The node when it exists (nothing is created).
    GXgObjConfig* findNode(std::string_view name) const { return nodes_.find(name); }

    // Stores property = value on the object's node. False when any text is null or the
    // object or property name is empty.
    bool setProperty(const char* object, const char* property, const char* value);
    bool setProperty(std::string_view object, std::string_view property, std::string_view value);

    // For a reader that learns a line's object before its value: the object's hash bits,
    // or none when it is the object the last property went to. The registry starts
    // fetching where the node is found, and the value is then stored with the same bits
    // (`expected`, from expect() on the very same object name), so that a large registry
    // neither waits for memory nor hashes the name twice.
    std::optional<std::uint32_t> expect(std::string_view object) const;
    bool setProperty(std::string_view object, std::string_view property, std::string_view value,
                     std::optional<std::uint32_t> expected);

    // The node's own value, else the nearest recorded ancestor's (no new parent search).
    std::optional<std::string> getProperty(const GXgObjConfig& node, std::string_view property) const;

    // Applies the configuration of `objectName` to an object: the ancestors' properties
    // first (root-most first), then the node's own, each in stored order, one call of
    // `configure` per property. A property set on several levels is applied once per
    // level, the nearest last.
    using Configure = std::function<void(const std::string& property, const std::string& value)>;
    void apply(const std::string& objectName, const Configure& configure);

    std::size_t size() const { return nodes_.size(); }

private:
    GXgObjConfig* getNode(std::string_view name, std::uint32_t tag);
    // The parent of a node that has none yet: the nearest dotted prefix with a node,
    // recorded as the parent. Null when the parent is the root.
    GXgObjConfig* findParent(GXgObjConfig& node);
    // Moves to a new node the waiting nodes below it that still hang from its parent,
    // then records the new node as waiting for each prefix between it and its parent.
    void adoptDescendants(GXgObjConfig& node, const GXgObjConfig* parent);
    void applyNode(GXgObjConfig& node, const Configure& configure, int depth);

    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    CxNamedRecords<GXgObjConfig> nodes_;
    std::deque<GXgProperty> properties_;  // every node's properties; a deque never moves them
    CxTextStore texts_;                   // their names and values
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
