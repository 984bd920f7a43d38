#include "gxlog/src/GXgConfig.h"

namespace gxlog {

namespace {
std::unique_ptr<GXgConfigRegistry> g_registry;

}  // namespace

GXgConfigRegistry* configRegistry() { return g_registry.get(); }
void createConfigRegistry() {
    if (!g_registry) g_registry = std::make_unique<GXgConfigRegistry>();
}
void destroyConfigRegistry() { g_registry.reset(); }

GXgObjConfig* GXgConfigRegistry::findParent(GXgObjConfig& node) {
    if (node.parent) return node.parent;
    std::string_view prefix = node.name;
    for (std::size_t dot = prefix.rfind('.'); dot != std::string_view::npos; dot = prefix.rfind('.')) {
        prefix = prefix.substr(0, dot);
        if (GXgObjConfig* parent = findNode(prefix)) {
            node.parent = parent;
            return parent;
        }
    }
    return nullptr;
}

// A new node takes over the nodes below it that hung from its own parent (or from the
// root), so that descendants read before their ancestors still inherit from them.
void GXgConfigRegistry::adoptDescendants(GXgObjConfig& node, const GXgObjConfig* parent) {
    if (auto waiting = waiting_.find(node.name); waiting != waiting_.end()) {
        for (GXgObjConfig* below : waiting->second) {
            // One placed under a nearer ancestor since it began waiting stays there.
            if (below->parent == parent) below->parent = &node;
        }
        waiting_.erase(waiting);
    }
    // The prefixes between this node and its parent have no node: should one appear,
    // this node moves to it.
    const std::size_t parentLength = parent ? parent->name.size() : 0;
    std::string_view prefix = node.name;
    for (std::size_t dot = prefix.rfind('.'); dot != std::string_view::npos && dot > parentLength;
         dot = prefix.rfind('.')) {
        prefix = prefix.substr(0, dot);
        waiting_[prefix].push_back(&node);
    }
}

GXgObjConfig* GXgConfigRegistry::getNode(const char* name) {
    return name ? getNode(std::string_view(name)) : nullptr;
}

GXgObjConfig* GXgConfigRegistry::getNode(std::string_view name) {
    return getNode(name, CxNamedRecords<GXgObjConfig>::tagOf(name));
}

GXgObjConfig* GXgConfigRegistry::getNode(std::string_view name, std::uint32_t tag) {
    if (name == kRootName) return nullptr;
    if (GXgObjConfig* existing = nodes_.find(name, tag)) return existing;
    GXgObjConfig& node = nodes_.add(name, tag);
    adoptDescendants(node, findParent(node));
    return &node;
}

bool GXgConfigRegistry::setProperty(const char* object, const char* property, const char* value) {
    if (!object || !property || !value) return false;
    return setProperty(std::string_view(object), std::string_view(property), std::string_view(value));
}

bool GXgConfigRegistry::setProperty(std::string_view object, std::string_view property, std::string_view value) {
    return setProperty(object, property, value, std::nullopt);
}

std::optional<std::uint32_t> GXgConfigRegistry::expect(std::string_view object) const {
    if (lastSet_ && lastSet_->name == object) return std::nullopt;
    const std::uint32_t tag = CxNamedRecords<GXgObjConfig>::tagOf(object);
    nodes_.prefetch(tag);
    return tag;
}

bool GXgConfigRegistry::setProperty(std::string_view object, std::string_view property, std::string_view value,
                                    std::optional<std::uint32_t> expected) {
    if (object.empty() || property.empty()) return false;
    // Nodes live as long as the registry, so the last one can be kept by address.
    GXgObjConfig* node = nullptr;
    if (lastSet_ && lastSet_->name == object) node = lastSet_;
    else node = getNode(object, expected ? *expected : CxNamedRecords<GXgObjConfig>::tagOf(object));
    if (!node) return false;
    lastSet_ = node;
    if (GXgProperty* existing = node->properties.find(property)) {
        existing->value = texts_.keep(value);
    } else {
        node->properties.append(properties_.emplace_back(GXgProperty{texts_.keep(property), texts_.keep(value)}));
    }
    return true;
}

std::optional<std::string> GXgConfigRegistry::getProperty(const GXgObjConfig& node,
                                                          std::string_view property) const {
    const GXgObjConfig* current = &node;
    // A parent chain is strictly shorter names, so it ends; the bound is a guard only.
    for (std::size_t steps = 0; current && steps <= nodes_.size(); ++steps) {
        if (const GXgProperty* p = current->properties.find(property)) return std::string(p->value);
        current = current->parent;
    }
    return std::nullopt;
}

void GXgConfigRegistry::applyNode(GXgObjConfig& node, const Configure& configure, int depth) {
    if (depth > static_cast<int>(nodes_.size())) return;  // guard; parents are shorter names
    if (auto parent = findParent(node)) applyNode(*parent, configure, depth + 1);
    // Copy first: a configure call may read the registry (and create nodes).
    std::vector<std::pair<std::string, std::string>> properties;
    for (const GXgProperty& p : node.properties) properties.emplace_back(p.name, p.value);
    for (const auto& [property, value] : properties) configure(property, value);
}

void GXgConfigRegistry::apply(const std::string& objectName, const Configure& configure) {
    if (GXgObjConfig* node = getNode(std::string_view(objectName))) applyNode(*node, configure, 0);
}

}  // namespace gxlog
