#include "document/records.h"

#include "base/text.h"

namespace doc {

void ParameterList::append(std::string_view name, std::string_view value) {
    nodes_.push_back({scan::boundedText(name, kParameterNameCapacity),
                      scan::boundedText(value, kParameterValueCapacity)});
}

}  // namespace doc
