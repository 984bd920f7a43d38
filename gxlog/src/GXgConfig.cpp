#include "gxlog/src/GXgConfig.h"

#include <algorithm>

namespace gxlog {

namespace {
std::unique_ptr<GXgConfigRegistry> g_registry;

void addChild(GXgObjConfig& parent, const std::string& child) {
    if (std::find(parent.children.begin(), parent.children.end(), child) == parent.children.end())
        parent.children.push_back(child);
}

bool isBelow(std::string_view name, std::string_view ancestor) {
    return name.size() > ancestor.size() + 1 && name.substr(0, ancestor.size()) == ancestor &&
           name[ancestor.size()] == '.';
}
}  // namespace

GXgConfigRegistry* configRegistry() { return g_registry.get(); }
void createConfigRegistry() {
    if (!g_registry) g_registry = std::make_unique<GXgConfigRegistry>();
}
void destroyConfigRegistry() { g_registry.reset(); }

std::shared_ptr<GXgObjConfig> GXgConfigRegistry::findNode(std::string_view name) const {
    auto it = nodes_.find(name);
    return it == nodes_.end() ? nullptr : it->second;
}

std::shared_ptr<GXgObjConfig> GXgConfigRegistry::findParent(GXgObjConfig& node) {
    if (node.parentName) return findNode(*node.parentName);
    std::string_view prefix = node.name;
    for (std::size_t dot = prefix.rfind('.'); dot != std::string_view::npos; dot = prefix.rfind('.')) {
        prefix = prefix.substr(0, dot);
        if (auto parent = findNode(prefix)) {
            node.parentName = parent->name;
            return parent;
        }
    }
    return nullptr;
}

// A new node takes over the nodes below it that hung from its own parent (or from the
// root), so that descendants read before their ancestors still inherit from them.
void GXgConfigRegistry::adoptDescendants(GXgObjConfig& node, GXgObjConfig* formerParent) {
    std::vector<std::string> moved;
    if (formerParent) {
        auto& siblings = formerParent->children;
        for (auto it = siblings.begin(); it != siblings.end();) {
            if (isBelow(*it, node.name)) {
                moved.push_back(*it);
                it = siblings.erase(it);
            } else {
                ++it;
            }
        }
    } else {
        for (const auto& [name, other] : nodes_) {
            if (!other->parentName && isBelow(name, node.name)) moved.push_back(name);
        }
    }
    for (const std::string& name : moved) {
        if (auto child = findNode(name)) {
            child->parentName = node.name;
            addChild(node, name);
        }
    }
}

std::shared_ptr<GXgObjConfig> GXgConfigRegistry::getNode(const char* name) {
    if (!name || kRootName == name) return nullptr;
    if (auto existing = findNode(name)) return existing;
    auto node = std::make_shared<GXgObjConfig>();
    node->name = name;
    nodes_.emplace(node->name, node);
    auto parent = findParent(*node);
    if (parent) addChild(*parent, node->name);
    adoptDescendants(*node, parent.get());
    return node;
}

bool GXgConfigRegistry::setProperty(const char* object, const char* property, const char* value) {
    if (!object || !property || !value || !*object || !*property) return false;
    auto node = getNode(object);
    if (!node) return false;
    node->properties.set(property, value);
    return true;
}

std::optional<std::string> GXgConfigRegistry::getProperty(const GXgObjConfig& node,
                                                          std::string_view property) const {
    const GXgObjConfig* current = &node;
    // A parent chain is strictly shorter names, so it ends; the bound is a guard only.
    for (std::size_t steps = 0; current && steps <= nodes_.size(); ++steps) {
        if (const std::string* v = current->properties.find(property)) return *v;
        if (!current->parentName) return std::nullopt;
        current = findNode(*current->parentName).get();
    }
    return std::nullopt;
}

void GXgConfigRegistry::applyNode(GXgObjConfig& node, const Configure& configure, int depth) {
    if (depth > static_cast<int>(nodes_.size())) return;  // guard; parents are shorter names
    if (auto parent = findParent(node)) {
        addChild(*parent, node.name);
        applyNode(*parent, configure, depth + 1);
    }
    // Copy first: a configure call may read the registry (and create nodes).
    std::vector<CxOrderedMap::Entry> properties(node.properties.begin(), node.properties.end());
    for (const auto& [property, value] : properties) configure(property, value);
}

void GXgConfigRegistry::apply(const std::string& objectName, const Configure& configure) {
    auto node = getNode(objectName.c_str());
    if (node) applyNode(*node, configure, 0);
}

}  // namespace gxlog
