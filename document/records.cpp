#include "document/records.h"

#include "base/text.h"

namespace doc {

void ParameterList::append(std::string_view name, std::string_view value) {
    nodes_.push_back({scan::boundedText(name, kParameterNameCapacity),
                      scan::boundedText(value, kParameterValueCapacity)});
}

const std::string* ParameterList::find(std::string_view name) const {
    for (const auto& n : nodes_)
        if (n.name == name) return &n.value;
    return nullptr;
}

std::string* ParameterList::find(std::string_view name) {
    for (auto& n : nodes_)
        if (n.name == name) return &n.value;
    return nullptr;
}

}  // namespace doc
