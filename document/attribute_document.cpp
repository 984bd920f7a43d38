#include "document/attribute_document.h"

#include <cstdio>

#include "document/attribute_writer.h"

namespace doc {

void printAttributeXml(AttributeModel& m, const ScanParameters& params) {
    const std::string text = renderAttributeXml(m, params);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace doc
